// Page store: the recorded pages of one composition, kept one after another in a single
// stream that lives in memory while small and moves to a temporary file once it grows.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QTemporaryFile>
#include <memory>
#include <mutex>
#include <optional>

namespace kavel {

// A byte stream in memory until its size exceeds the limit, then in a temporary file named
// "kvl<pid>-..." in the system's temporary folder, which is deleted with the stream. The first
// stream of a process removes such files of our user whose process is gone (killed runs).
// Every operation takes the stream's lock. Errors of the underlying device raise KavelError.
class TkvlStream {
  public:
    enum class SeekOrigin { Begin, Current, End };

    // `limit`: size in bytes that may stay in memory (the page target uses 250000).
    explicit TkvlStream(qint64 limit);
    ~TkvlStream();
    TkvlStream(const TkvlStream&) = delete;
    TkvlStream& operator=(const TkvlStream&) = delete;

    // Reads up to `size` bytes at the position; answers the number read (0 at the end).
    qint64 Read(char* data, qint64 size);
    // Writes at the position, overwriting and growing the stream; answers the number of
    // bytes written. The write that takes the size beyond the limit moves the data to the
    // file. Raises KavelError when the file cannot be created or written.
    qint64 Write(const char* data, qint64 size);
    // Moves the position, kept within 0..Size(); answers the new position.
    qint64 Seek(qint64 offset, SeekOrigin origin = SeekOrigin::Begin);
    qint64 Size() const;
    qint64 Pos() const;
    // Cuts the stream to `size` bytes (not larger than it is); the position stays within it.
    void Truncate(qint64 size);

    bool InMemory() const;
    // The temporary file's full name; empty while the data is in memory.
    QString FileName() const;

  private:
    void MoveToFile();  // with the lock held
    QIODevice& Device() const;

    mutable std::mutex lock_;
    QByteArray memory_;
    std::unique_ptr<QBuffer> memoryStream_;
    QString fileName_;
    std::unique_ptr<QTemporaryFile> fileStream_;
    bool inMemory_ = true;
    qint64 limit_;
};

// The page records inside a TkvlStream. Pages are numbered from 1. Every operation takes the
// list's lock. Reading a damaged stream raises KavelError and leaves the position where it was.
class TkvlPageList {
  public:
    TkvlPageList() = default;
    ~TkvlPageList();
    TkvlPageList(const TkvlPageList&) = delete;
    TkvlPageList& operator=(const TkvlPageList&) = delete;

    // Hands the list the stream it stores pages in (the page target's BeginDoc); the list
    // owns it from now on and starts empty. A stream held before is freed.
    void SetStream(std::unique_ptr<TkvlStream> stream);
    // Frees the stream now (the page target's destruction; deletes a temporary file) and
    // empties the list.
    void FreeStream();
    // The stream, still owned by the list; null when none is held.
    TkvlStream* Stream() const;

    // Appends one page record (PageRecord.h). Raises KavelError without a stream or when
    // the stream fails; the pages stored before stay readable.
    void AddPage(const QByteArray& record);
    // A copy of page `number`'s record; nothing for numbers outside 1..Count(), which leave
    // the stream position unchanged. Raises KavelError on a damaged stream or record.
    std::optional<QByteArray> GetPage(int number);
    // Writes the header again with the final count (the page target's EndDoc).
    void Finish();
    int Count() const;

  private:
    struct Record {
        qint64 start = 0;
        qint32 number = 0;
        qint64 next = 0;
    };
    void WriteHeader();
    Record ReadRecord(qint64 start);
    qint64 PositionAt(int number);
    QByteArray ReadPage(const Record& record);

    mutable std::mutex lock_;
    qint32 count_ = 0;
    std::unique_ptr<TkvlStream> stream_;
};

}  // namespace kavel
