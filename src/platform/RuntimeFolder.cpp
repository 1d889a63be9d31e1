#include "platform/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace kavel {

namespace {

QString ErrorText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A folder this process made, removed with its files at exit (a normal exit; a killed
// process leaves it in the temporary folder, private and unreadable to others).
struct MadeFolder {
    QString path;
    ~MadeFolder() {
        if (!path.isEmpty()) QDir(path).removeRecursively();  // links inside are not followed
    }
};

QString MakeFolder() {
    static MadeFolder made;
    QByteArray name = QFile::encodeName(QDir::tempPath()) + "/kavel-run-XXXXXX";
    if (!::mkdtemp(name.data())) return QString();  // made with mode 0700
    made.path = QFile::decodeName(name);
    return made.path;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

}  // namespace

bool IsPrivateFolder(const QString& folder) {
    struct stat info {};
    if (!folder.startsWith('/') || ::lstat(QFile::encodeName(folder).constData(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700;
}

QString PrivateRuntimeFolder() {
    static const QString folder = [] {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        return IsPrivateFolder(runtime) ? runtime : MakeFolder();
    }();
    return folder;
}

bool WritePrivateFile(const QString& folder, const QString& name, const QByteArray& bytes,
                      QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QByteArray target = QFile::encodeName(QDir(folder).filePath(name));
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = target + '.' + QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0600);
        if (fd < 0 && errno != EEXIST) return fail(ErrorText());
    }
    if (fd < 0) return fail(QStringLiteral("no free temporary name"));
    bool done = WriteAll(fd, bytes);
    QString why = done ? QString() : ErrorText();
    if (::close(fd) != 0 && done) {
        done = false;
        why = ErrorText();
    }
    if (done && ::rename(temporary.constData(), target.constData()) != 0) {
        done = false;
        why = ErrorText();
    }
    if (!done) {
        ::unlink(temporary.constData());
        return fail(why);
    }
    return true;
}

}  // namespace kavel
