#include "render/kvlPageListUnit.h"

#include "render/PageRecord.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <limits>

#include "platform/ProcessTemporaryFiles.h"
#include "platform/Variant.h"

namespace kavel {

namespace {

// Temporary files are "kvl", the process id, "-" and a unique part.
const QString kFilePrefix = QStringLiteral("kvl");

[[noreturn]] void Fail(const QString& text) {
    throw KavelError("page store: " + text);
}

}  // namespace

// ---- TkvlStream ----

TkvlStream::TkvlStream(qint64 limit)
    : memoryStream_(std::make_unique<QBuffer>(&memory_)), limit_(limit) {
    memoryStream_->open(QIODevice::ReadWrite);
    // The files of runs that were killed are removed by the next run of the same user.
    static std::once_flag cleaned;
    std::call_once(cleaned, [] { RemoveOrphanedTemporaryFiles(QDir::tempPath(), kFilePrefix); });
}

TkvlStream::~TkvlStream() {
    std::lock_guard guard(lock_);
    memoryStream_.reset();
    fileStream_.reset();  // a temporary file removes itself
    if (!fileName_.isEmpty() && QFile::exists(fileName_)) QFile::remove(fileName_);
}

QIODevice& TkvlStream::Device() const {
    if (inMemory_) return *memoryStream_;
    return *fileStream_;
}

qint64 TkvlStream::Read(char* data, qint64 size) {
    std::lock_guard guard(lock_);
    if (size <= 0) return 0;
    const qint64 read = Device().read(data, size);
    if (read < 0) Fail(QString("cannot read the stream: %1").arg(Device().errorString()));
    return read;
}

qint64 TkvlStream::Write(const char* data, qint64 size) {
    std::lock_guard guard(lock_);
    if (size <= 0) return 0;
    QIODevice& device = Device();
    const qint64 written = device.write(data, size);
    if (inMemory_) {
        if (written < 0) Fail("cannot write to memory");
        if (memory_.size() > limit_) MoveToFile();
        return written;
    }
    // Flushing at once reports a full disk at the write that meets it.
    if (written != size || !fileStream_->flush()) {
        Fail(QString("cannot write to %1: %2").arg(fileName_, fileStream_->errorString()));
    }
    return written;
}

void TkvlStream::MoveToFile() {
    const QString folder = QDir::tempPath();
    auto file = NewProcessTemporaryFile(folder, kFilePrefix);
    if (!file->open()) {
        Fail(QString("cannot create a temporary file in %1: %2").arg(folder, file->errorString()));
    }
    // Only appends make the stream grow, so the position is where the memory one was.
    if (file->write(memory_) != memory_.size() || !file->flush() ||
        !file->seek(memoryStream_->pos())) {
        Fail(QString("cannot write to %1: %2").arg(file->fileName(), file->errorString()));
    }
    fileName_ = file->fileName();
    fileStream_ = std::move(file);
    inMemory_ = false;
    memoryStream_.reset();
    memory_ = QByteArray();
}

qint64 TkvlStream::Seek(qint64 offset, SeekOrigin origin) {
    std::lock_guard guard(lock_);
    QIODevice& device = Device();
    const qint64 size = device.size();
    qint64 base = 0;
    if (origin == SeekOrigin::Current) base = device.pos();
    if (origin == SeekOrigin::End) base = size;
    // Bounding the offset first keeps the sum from overflowing.
    const qint64 target = std::clamp(base + std::clamp(offset, -size, size), qint64{0}, size);
    if (!device.seek(target)) {
        Fail(QString("cannot seek to %1: %2").arg(target).arg(device.errorString()));
    }
    return target;
}

qint64 TkvlStream::Size() const {
    std::lock_guard guard(lock_);
    return Device().size();
}

qint64 TkvlStream::Pos() const {
    std::lock_guard guard(lock_);
    return Device().pos();
}

void TkvlStream::Truncate(qint64 size) {
    std::lock_guard guard(lock_);
    QIODevice& device = Device();
    size = std::max<qint64>(size, 0);
    if (size >= device.size()) return;
    const qint64 pos = std::min(device.pos(), size);
    if (inMemory_) {
        memory_.truncate(size);
    } else if (!fileStream_->resize(size)) {
        Fail(QString("cannot cut %1: %2").arg(fileName_, fileStream_->errorString()));
    }
    device.seek(pos);
}

bool TkvlStream::InMemory() const {
    std::lock_guard guard(lock_);
    return inMemory_;
}

QString TkvlStream::FileName() const {
    std::lock_guard guard(lock_);
    return fileName_;
}

// ---- TkvlPageList ----

namespace {

constexpr qint64 kHeaderSize = 108;
constexpr int kFillerSize = 100;
constexpr char kFiller = 0x48;
// Page number, next offset, picture length, trailing start offset.
constexpr qint64 kSmallestRecord = 16;

void AppendInt32(QByteArray& bytes, qint64 value) {
    char le[4];
    qToLittleEndian(static_cast<qint32>(value), le);
    bytes.append(le, 4);
}

void WriteAll(TkvlStream& stream, const QByteArray& bytes) {
    if (stream.Write(bytes.constData(), bytes.size()) != bytes.size()) {
        Fail("the stream took fewer bytes than written");
    }
}

QByteArray ReadExactly(TkvlStream& stream, qint64 at, qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    if (stream.Seek(at) != at || stream.Read(bytes.data(), size) != size) {
        Fail(QString("truncated stream: %1 bytes wanted at offset %2 of %3")
                 .arg(size)
                 .arg(at)
                 .arg(stream.Size()));
    }
    return bytes;
}

qint32 ReadInt32(TkvlStream& stream, qint64 at) {
    return qFromLittleEndian<qint32>(ReadExactly(stream, at, 4).constData());
}

}  // namespace

TkvlPageList::~TkvlPageList() {
    std::lock_guard guard(lock_);
    stream_.reset();
}

void TkvlPageList::SetStream(std::unique_ptr<TkvlStream> stream) {
    std::lock_guard guard(lock_);
    stream_ = std::move(stream);
    count_ = 0;
}

void TkvlPageList::FreeStream() {
    std::lock_guard guard(lock_);
    stream_.reset();
    count_ = 0;
}

TkvlStream* TkvlPageList::Stream() const {
    std::lock_guard guard(lock_);
    return stream_.get();
}

int TkvlPageList::Count() const {
    std::lock_guard guard(lock_);
    return count_;
}

void TkvlPageList::WriteHeader() {
    QByteArray header;
    AppendInt32(header, count_);
    header.append(kFillerSize, kFiller);
    AppendInt32(header, 0);  // reserved
    stream_->Seek(0);
    WriteAll(*stream_, header);
}

void TkvlPageList::AddPage(const QByteArray& page) {
    std::lock_guard guard(lock_);
    if (!stream_) Fail("no stream to add a page to");
    QByteArray picture;
    picture.reserve(page.size() + 4);
    AppendInt32(picture, qint32(page.size()));
    picture.append(page);
    const qint32 number = count_ + 1;
    const qint64 before = number == 1 ? 0 : stream_->Size();
    try {
        if (number == 1) {
            stream_->Truncate(0);
            count_ = number;  // the header carries the count of a store with one page
            WriteHeader();
        }
        const qint64 start = stream_->Size();
        const qint64 next = start + 8 + picture.size() + 4;
        // Offsets are 32 bits in the layout.
        if (next > std::numeric_limits<qint32>::max()) {
            Fail(QString("the store is full at %1 pages").arg(number - 1));
        }
        QByteArray record;
        record.reserve(next - start);
        AppendInt32(record, number);
        AppendInt32(record, next);
        record.append(picture);
        AppendInt32(record, start);
        stream_->Seek(start);
        WriteAll(*stream_, record);
    } catch (...) {
        // The pages stored before stay as they were.
        count_ = number - 1;
        try {
            stream_->Truncate(before);
            stream_->Seek(0, TkvlStream::SeekOrigin::End);
        } catch (const KavelError&) {
        }
        throw;
    }
    count_ = number;
}

void TkvlPageList::Finish() {
    std::lock_guard guard(lock_);
    if (stream_) WriteHeader();
}

TkvlPageList::Record TkvlPageList::ReadRecord(qint64 start) {
    const qint64 size = stream_->Size();
    if (start < kHeaderSize || start > size - kSmallestRecord) {
        Fail(QString("record offset %1 is outside the stream of %2 bytes").arg(start).arg(size));
    }
    const qint32 number = ReadInt32(*stream_, start);
    const qint64 next = ReadInt32(*stream_, start + 4);
    if (number < 1 || number > count_) {
        Fail(QString("bad page number %1 in the record at offset %2 (%3 pages stored)")
                 .arg(number)
                 .arg(start)
                 .arg(count_));
    }
    if (next < start + kSmallestRecord || next > size) {
        Fail(QString("the record of page %1 at offset %2 ends at %3, outside the stream of %4 "
                     "bytes")
                 .arg(number)
                 .arg(start)
                 .arg(next)
                 .arg(size));
    }
    const qint64 back = ReadInt32(*stream_, next - 4);
    if (back != start) {
        Fail(QString("the record of page %1 at offset %2 does not link back (it names %3)")
                 .arg(number)
                 .arg(start)
                 .arg(back));
    }
    return {start, number, next};
}

qint64 TkvlPageList::PositionAt(int number) {
    if (number == 1) return kHeaderSize;
    // Start from the record at the position, which is where the last call left it: reading
    // pages in order then costs one step each.
    Record record;
    try {
        qint64 start = stream_->Pos();
        if (start == stream_->Size()) start = ReadInt32(*stream_, start - 4);
        record = ReadRecord(start);
    } catch (const KavelError&) {
        // The position is no record start (moved from outside, or the end of the stream is
        // damaged); the first record is always in the same place.
        record = ReadRecord(kHeaderSize);
    }
    // Every step moves one page closer, so a walk takes fewer steps than there are pages.
    for (int steps = 0; record.number != number; ++steps) {
        if (steps >= count_) Fail(QString("page %1 not found").arg(number));
        if (number > record.number) {
            const Record following = ReadRecord(record.next);
            if (following.number != record.number + 1) {
                Fail(QString("page %1 follows page %2 at offset %3")
                         .arg(following.number)
                         .arg(record.number)
                         .arg(following.start));
            }
            record = following;
        } else {
            const Record previous = ReadRecord(ReadInt32(*stream_, record.start - 4));
            if (previous.number != record.number - 1 || previous.next != record.start) {
                Fail(QString("page %1 at offset %2 does not link to page %3")
                         .arg(record.number)
                         .arg(record.start)
                         .arg(record.number - 1));
            }
            record = previous;
        }
    }
    return record.start;
}

QByteArray TkvlPageList::ReadPage(const Record& record) {
    const quint32 length =
        qFromLittleEndian<quint32>(ReadExactly(*stream_, record.start + 8, 4).constData());
    if (record.start + 12 + qint64{length} + 4 != record.next) {
        Fail(QString("page %1 at offset %2 is %3 bytes long, which does not fit its record")
                 .arg(record.number)
                 .arg(record.start)
                 .arg(length));
    }
    QByteArray page = ReadExactly(*stream_, record.start + 12, length);
    try {
        CheckPageRecord(page);
    } catch (const KavelError& e) {
        Fail(QString("page %1 at offset %2 is no readable page: %3")
                 .arg(record.number)
                 .arg(record.start)
                 .arg(e.Text()));
    }
    return page;
}

std::optional<QByteArray> TkvlPageList::GetPage(int number) {
    std::lock_guard guard(lock_);
    if (!stream_ || number < 1 || number > count_) return std::nullopt;
    const qint64 entry = stream_->Pos();
    try {
        const Record record = ReadRecord(PositionAt(number));
        if (record.number != number) {
            Fail(QString("the record at offset %1 holds page %2 instead of page %3")
                     .arg(record.start)
                     .arg(record.number)
                     .arg(number));
        }
        QByteArray page = ReadPage(record);
        stream_->Seek(record.next);
        return page;
    } catch (...) {
        // A failed read moves nothing: the next call starts where this one did.
        try {
            stream_->Seek(entry);
        } catch (const KavelError&) {
        }
        throw;
    }
}

}  // namespace kavel
