// The page store's reader on arbitrary bytes as its stream. A store that believes it holds
// some pages finds the input in its stream instead, in memory or in its temporary file,
// and reads every page forward, backward, and in an order the input chooses. Every read
// gives the page, nothing for a number outside the store, or a page store error that
// leaves the position where it was; never another exception, a crash or a large
// allocation (run with a small -malloc_limit_mb). Every page read is played.
//
// Input: byte 0 the page count (mod 64); byte 1 bit 0 the temporary file instead of
// memory, bits 1-2 where reading starts (the end, the first record, the start, the
// offset in byte 2); bytes 3-10 page numbers to read (as signed bytes); then the stream.
// (A record's body is not fuzzed behind a forged checksum: Qt's readers of pens, paths and
// regions trust the counts they read, so the player relies on the checksum for those.)
#include <zlib.h>
#include <QCoreApplication>
#include <QDataStream>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/Variant.h"
#include "render/PageRecord.h"
#include "render/PageRecordFormat.h"
#include "render/kvlPageListUnit.h"

namespace {

using namespace kavel;

constexpr size_t kHeaderBytes = 11;

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_pagestore: %s\n", what);
    std::abort();
}

const auto kFonts = std::make_shared<PageFonts>();

// Plays a page: it draws, or says the record is damaged.
void Play(const QByteArray& record) {
    QImage image(64, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    try {
        PlayPageRecord(painter, record, *kFonts);
    } catch (const KavelError& error) {
        Require(error.Text().startsWith("The page record is damaged"),
                "a page that cannot be played does not say so");
    }
}

// A record of the body with a sound header: the store's empty pages.
QByteArray WithHeader(const char* body, qint64 length) {
    QByteArray record;
    QDataStream header(&record, QIODevice::WriteOnly);
    header.setByteOrder(QDataStream::LittleEndian);
    header.writeRawData("KVPR", 4);
    header << pagerecord::kVersion << quint16(0) << quint32(length)
           << quint32(crc32(0, reinterpret_cast<const Bytef*>(body), uInt(length)));
    record.append(body, length);
    return record;
}

void Read(TkvlPageList& list, int number) {
    TkvlStream& stream = *list.Stream();
    const qint64 pos = stream.Pos();
    const bool inside = number >= 1 && number <= list.Count();
    try {
        const std::optional<QByteArray> page = list.GetPage(number);
        Require(inside == page.has_value(), "a page inside the store gave nothing, or outside one");
        if (!page) Require(stream.Pos() == pos, "a number outside the store moved the position");
        if (page) Play(*page);
    } catch (const KavelError& error) {
        Require(inside, "a number outside the store raised");
        Require(error.Text().startsWith("page store: "), "an error that does not name the store");
        Require(stream.Pos() == pos, "a failed read moved the position");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Qt complains about damaged values; that is expected here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderBytes) return 0;
    const int count = data[0] % 64;
    const bool inFile = data[1] & 1;
    const int start = data[1] >> 1 & 3;
    const auto* bytes = reinterpret_cast<const char*>(data + kHeaderBytes);
    const qint64 length = static_cast<qint64>(size - kHeaderBytes);

    TkvlPageList list;
    // A small limit sends the stream to its temporary file as soon as it is written.
    list.SetStream(std::make_unique<TkvlStream>(inFile ? 16 : 250000));
    const QByteArray empty = WithHeader("", 0);
    for (int i = 0; i < count; ++i) list.AddPage(empty);
    TkvlStream& stream = *list.Stream();
    stream.Truncate(0);
    Require(stream.Write(bytes, length) == length, "the stream took fewer bytes than written");
    Require(stream.Size() == length, "the stream is not as long as written");

    const qint64 offsets[] = {length, 108, 0, data[2] * length / 255};
    stream.Seek(offsets[start]);
    for (int number = 1; number <= count; ++number) Read(list, number);
    for (int number = count; number >= 1; --number) Read(list, number);
    for (size_t i = 3; i < kHeaderBytes; ++i) Read(list, static_cast<int8_t>(data[i]));
    return 0;
}
