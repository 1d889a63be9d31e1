// The page records in the store's stream: layout, reading in any order, spilling to a file,
// and damaged streams.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <vector>

#include "platform/Variant.h"
#include "render/PageRecord.h"
#include "render/kvlPageListUnit.h"

namespace kavel {
namespace {

const QColor kPageColors[] = {Qt::red,     Qt::green, Qt::blue,    Qt::yellow,
                              Qt::magenta, Qt::cyan,  Qt::darkRed, Qt::darkGreen};

const auto kFonts = std::make_shared<PageFonts>();

// A page that fills most of its 100 x 100 area with the colour of its number.
QByteArray MakePage(int number) {
    PageRecorder recorder(QSize(100, 100), kFonts);
    QPainter painter(&recorder);
    painter.fillRect(QRect(0, 0, 100, 100), Qt::white);
    painter.fillRect(QRect(10, 10, 80, 80), kPageColors[(number - 1) % 8]);
    painter.drawText(QPoint(20, 95), QString("page %1").arg(number));
    painter.end();
    return recorder.Record();
}

QByteArray EmptyPage() {
    PageRecorder recorder(QSize(100, 100), kFonts);
    QPainter(&recorder).end();
    return recorder.Record();
}

qint32 Int32At(TkvlStream& stream, qint64 at) {
    char bytes[4];
    stream.Seek(at);
    EXPECT_EQ(stream.Read(bytes, 4), 4);
    return qFromLittleEndian<qint32>(bytes);
}

void PutInt32(TkvlStream& stream, qint64 at, qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    stream.Seek(at);
    stream.Write(bytes, 4);
}

// A list over a fresh stream holding pages 1..count.
std::unique_ptr<TkvlPageList> MakeStore(int count, qint64 limit = 250000) {
    auto list = std::make_unique<TkvlPageList>();
    list->SetStream(std::make_unique<TkvlStream>(limit));
    for (int i = 1; i <= count; ++i) list->AddPage(MakePage(i));
    return list;
}

// The start offsets of the records, followed through the next offsets.
std::vector<qint64> RecordStarts(TkvlPageList& list) {
    TkvlStream& stream = *list.Stream();
    const qint64 pos = stream.Pos();
    std::vector<qint64> starts{108};
    for (int i = 1; i < list.Count(); ++i) starts.push_back(Int32At(stream, starts.back() + 4));
    stream.Seek(pos);
    return starts;
}

// Reads a page and checks the colour of the page it was made from (by default the page of
// the same number), replayed onto an image.
void ExpectPage(TkvlPageList& list, int number, int madeFrom = 0) {
    const std::optional<QByteArray> page = list.GetPage(number);
    ASSERT_TRUE(page) << "page " << number;
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    PlayPageRecord(painter, *page, *kFonts);
    painter.end();
    const int made = madeFrom ? madeFrom : number;
    EXPECT_EQ(image.pixelColor(50, 50), kPageColors[(made - 1) % 8]) << "page " << number;
}

TEST(TkvlPageList, LayoutOfHeaderAndRecords) {
    // The page count (written with the first page and by Finish), 100 filler bytes and a zero;
    // then each record: page number, next record, the page record's length and data, and the
    // start of the record.
    const auto list = MakeStore(1);
    TkvlStream& stream = *list->Stream();
    const qint64 size = stream.Size();
    const QByteArray page = MakePage(1);
    EXPECT_EQ(Int32At(stream, 0), 1);
    EXPECT_EQ(Int32At(stream, 104), 0);
    EXPECT_EQ(Int32At(stream, 108), 1);
    EXPECT_EQ(Int32At(stream, 112), size);
    EXPECT_EQ(Int32At(stream, 116), static_cast<qint32>(page.size()));
    EXPECT_EQ(Int32At(stream, size - 4), 108);
    EXPECT_EQ(size, 108 + 4 + 4 + 4 + page.size() + 4);
    list->AddPage(MakePage(2));
    list->AddPage(MakePage(3));
    EXPECT_EQ(Int32At(stream, 0), 1);
    stream.Seek(0, TkvlStream::SeekOrigin::End);
    list->Finish();
    EXPECT_EQ(Int32At(stream, 0), 3);
}

TEST(TkvlPageList, ReadingLeavesThePositionAtTheNextRecordAndMissesMoveNothing) {
    const auto list = MakeStore(4);
    const std::vector<qint64> starts = RecordStarts(*list);
    ExpectPage(*list, 2);
    EXPECT_EQ(list->Stream()->Pos(), starts[2]);
    for (const int number : {5, 100, 0, -1}) {
        EXPECT_FALSE(list->GetPage(number)) << number;
        EXPECT_EQ(list->Stream()->Pos(), starts[2]) << number;
    }
    ExpectPage(*list, 4);
    EXPECT_EQ(list->Stream()->Pos(), list->Stream()->Size());
}

TEST(TkvlPageList, PagesReadInAnyOrderInMemoryOrInTheTemporaryFile) {
    // From the end of the stream (as composition leaves it) and from the first record (as
    // Finish leaves it): backward, from the start, forward, and back again.
    for (const qint64 limit : {250000, 1000}) {
        for (const bool finished : {false, true}) {
            SCOPED_TRACE(testing::Message() << "limit " << limit << " finished " << finished);
            const auto list = MakeStore(5, limit);
            EXPECT_EQ(list->Stream()->InMemory(), limit > 1000);
            if (finished) list->Finish();
            for (const int number : {3, 2, 1, 5, 4, 4, 1, 5, 2}) ExpectPage(*list, number);
            for (int number = 1; number <= 5; ++number) ExpectPage(*list, number);
        }
    }
    auto list = MakeStore(1, 100);  // a page with nothing drawn is a page too
    list->AddPage(EmptyPage());
    list->AddPage(MakePage(3));
    EXPECT_EQ(list->GetPage(2), EmptyPage());
    ExpectPage(*list, 3);
    ExpectPage(*list, 1);
    // The file goes with the stream; a new stream starts an empty store.
    const QString fileName = list->Stream()->FileName();
    ASSERT_FALSE(fileName.isEmpty());
    list->FreeStream();
    EXPECT_FALSE(QFileInfo::exists(fileName));
    EXPECT_EQ(list->Count(), 0);
    EXPECT_FALSE(list->GetPage(1));
    EXPECT_THROW(list->AddPage(MakePage(1)), KavelError);
    list->SetStream(std::make_unique<TkvlStream>(250000));
    list->AddPage(MakePage(7));
    EXPECT_EQ(list->Count(), 1);
    ExpectPage(*list, 1, 7);
}

TEST(TkvlPageList, FailedAddLosesNoPage) {
    // A limit that the second page passes, while no temporary file can be made.
    const qint64 limit = MakeStore(1)->Stream()->Size();
    const auto list = MakeStore(1, limit);
    const QByteArray temporary = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/proc");  // where nobody, root included, can make a file
    EXPECT_THROW(list->AddPage(MakePage(2)), KavelError);
    temporary.isEmpty() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", temporary);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Stream()->Size(), limit);
    ExpectPage(*list, 1);
    list->AddPage(MakePage(2));
    list->AddPage(MakePage(3));
    EXPECT_FALSE(list->Stream()->InMemory());
    for (const int number : {3, 1, 2}) ExpectPage(*list, number);
}

// ---- damaged streams ----

// Keeps Qt's complaints about damaged values out of the test output.
class QuietWarnings {
  public:
    QuietWarnings() : previous_(qInstallMessageHandler(Drop)) {}
    ~QuietWarnings() { qInstallMessageHandler(previous_); }

  private:
    static void Drop(QtMsgType, const QMessageLogContext&, const QString&) {}
    QtMessageHandler previous_;
};

using Starts = const std::vector<qint64>&;  // the record offsets

struct Damage {
    const char* name;
    bool finished;    // Finish called before reading (position at the first record)
    int damagedPage;  // GetPage of it raises
    int intactPage;   // GetPage of it still works afterwards (0: none)
    void (*apply)(TkvlStream& s, Starts r);  // damages a three-page store
};

// Damages that no single changed byte makes (see NoChangedByteGivesAWrongPage).
const Damage kDamages[] = {
    {"link to another record", 0, 2, 3,
     [](TkvlStream& s, Starts r) { PutInt32(s, r[2] - 4, r[0]); }},
    {"picture length too short", 1, 2, 3,
     [](TkvlStream& s, Starts r) { PutInt32(s, r[1] + 8, Int32At(s, r[1] + 8) - 1); }},
    {"truncated last record", 1, 3, 2, [](TkvlStream& s, Starts) { s.Truncate(s.Size() - 10); }},
    // The last four bytes are no record start any more: the walk starts from the first page.
    {"last link cut, read from the end", 0, 3, 2,
     [](TkvlStream& s, Starts) { s.Truncate(s.Size() - 3); }},
    {"truncated in the first record", 1, 1, 0, [](TkvlStream& s, Starts) { s.Truncate(120); }},
    {"truncated to the header", 0, 2, 0, [](TkvlStream& s, Starts) { s.Truncate(108); }},
    {"truncated to nothing", 0, 3, 0, [](TkvlStream& s, Starts) { s.Truncate(0); }}};

TEST(TkvlPageList, DamagedStreamsRaiseAndKeepThePosition) {
    const QuietWarnings quiet;
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.name);
        const auto list = MakeStore(3);
        TkvlStream& stream = *list->Stream();
        damage.apply(stream, RecordStarts(*list));
        if (damage.finished) {
            stream.Seek(108);
        } else {
            stream.Seek(0, TkvlStream::SeekOrigin::End);
        }
        const qint64 pos = stream.Pos();
        try {
            list->GetPage(damage.damagedPage);
            ADD_FAILURE() << "no error for page " << damage.damagedPage;
        } catch (const KavelError& error) {
            EXPECT_TRUE(error.Text().startsWith("page store: ")) << error.Text().toStdString();
        }
        EXPECT_EQ(stream.Pos(), pos);
        if (damage.intactPage != 0) ExpectPage(*list, damage.intactPage);
    }
}

TEST(TkvlPageList, NoChangedByteGivesAWrongPage) {
    // Every byte of the records changed in turn: each page reads exactly as stored or
    // raises a page-store error that keeps the position; nothing else.
    const QuietWarnings quiet;
    const auto list = MakeStore(2);
    TkvlStream& stream = *list->Stream();
    const QByteArray pages[] = {MakePage(1), MakePage(2)};
    const qint64 size = stream.Size();
    int errors = 0;
    for (qint64 at = 108; at < size; ++at) {
        char original = 0;
        stream.Seek(at);
        stream.Read(&original, 1);
        const char changed = static_cast<char>(original ^ 0x5A);
        stream.Seek(at);
        stream.Write(&changed, 1);
        for (const bool fromEnd : {true, false}) {
            stream.Seek(fromEnd ? size : 108);
            for (const int number : {2, 1}) {
                const qint64 pos = stream.Pos();
                try {
                    const auto page = list->GetPage(number);
                    ASSERT_TRUE(page);
                    EXPECT_EQ(*page, pages[number - 1]) << "byte " << at << " page " << number;
                } catch (const KavelError& error) {
                    ++errors;
                    EXPECT_TRUE(error.Text().startsWith("page store: ")) << at;
                    EXPECT_EQ(stream.Pos(), pos) << "byte " << at << " page " << number;
                }
            }
        }
        stream.Seek(at);
        stream.Write(&original, 1);
    }
    EXPECT_GT(errors, size - 108);  // every byte of a record matters to at least one read
    ExpectPage(*list, 1);
    ExpectPage(*list, 2);
}

}  // namespace
}  // namespace kavel
