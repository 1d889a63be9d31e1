// Reading a file that must be an ordinary file of bounded size. The file is opened without
// blocking and checked on the opened descriptor, so a FIFO, a device, a folder or a link to
// one of them is refused instead of hanging the program or filling its memory.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kavel {

// What identifies one state of a file: another file in its place, another size or another
// modification time give another identity.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 seconds = 0;
    qint64 nanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct RegularFileContent {
    enum Status {
        Read,        // bytes holds the whole file
        Missing,     // no file of that name
        NotRegular,  // a folder, FIFO, socket or device (also behind a link)
        TooLarge,    // larger than the limit
        Failed,      // could not be opened or read (error says why)
    };
    Status status = Failed;
    QByteArray bytes;
    FileIdentity identity;  // of the opened file, when it was opened
    QString error;
};

// The identity of the ordinary file a name leads to (links followed); nothing when there is
// no file or it is no ordinary file. Never opens the file.
std::optional<FileIdentity> RegularFileIdentity(const QString& fileName);

// Reads the whole file when it is an ordinary file of at most `maxSize` bytes.
RegularFileContent ReadRegularFile(const QString& fileName, qint64 maxSize);

}  // namespace kavel
