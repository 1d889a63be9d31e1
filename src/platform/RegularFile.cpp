#include "platform/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kavel {

namespace {

FileIdentity IdentityFrom(const struct stat& info) {
    return {static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino),
            static_cast<qint64>(info.st_size), static_cast<qint64>(info.st_mtim.tv_sec),
            static_cast<qint64>(info.st_mtim.tv_nsec)};
}

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

std::optional<FileIdentity> RegularFileIdentity(const QString& fileName) {
    struct stat info {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0) return std::nullopt;
    if (!S_ISREG(info.st_mode)) return std::nullopt;
    return IdentityFrom(info);
}

RegularFileContent ReadRegularFile(const QString& fileName, qint64 maxSize) {
    RegularFileContent content;
    // Opening a FIFO without O_NONBLOCK waits for a writer; opening never reads a device,
    // and what was opened is checked before anything is read.
    const Descriptor fd(::open(QFile::encodeName(fileName).constData(),
                               O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        content.status = errno == ENOENT ? RegularFileContent::Missing : RegularFileContent::Failed;
        content.error = ErrorText(errno);
        return content;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        content.error = ErrorText(errno);
        return content;
    }
    content.identity = IdentityFrom(info);
    if (!S_ISREG(info.st_mode)) {
        content.status = RegularFileContent::NotRegular;
        content.error = QStringLiteral("not an ordinary file");
        return content;
    }
    if (info.st_size > maxSize) {
        content.status = RegularFileContent::TooLarge;
        content.error = QStringLiteral("larger than %1 bytes").arg(maxSize);
        return content;
    }
    // The file may grow while it is read: never more than the limit and one byte are read.
    QByteArray bytes(static_cast<qsizetype>(info.st_size) + 1, Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxSize) {
                content.status = RegularFileContent::TooLarge;
                content.error = QStringLiteral("larger than %1 bytes").arg(maxSize);
                return content;
            }
            bytes.resize(std::min<qint64>(maxSize + 1, filled * 2 + 4096));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            content.error = ErrorText(errno);
            return content;
        }
        if (got == 0) break;
        filled += got;
    }
    bytes.truncate(filled);
    content.bytes = std::move(bytes);
    content.status = RegularFileContent::Read;
    return content;
}

}  // namespace kavel
