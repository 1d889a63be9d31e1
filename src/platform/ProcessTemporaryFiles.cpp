#include "platform/ProcessTemporaryFiles.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace kavel {

namespace {

// The process id a file name carries: digits between the prefix and a "-" with something
// after it; 0 when the name has another form.
pid_t PidInName(const QString& name, const QString& prefix) {
    if (!name.startsWith(prefix)) return 0;
    const qsizetype dash = name.indexOf('-', prefix.size());
    if (dash <= prefix.size() || dash + 1 >= name.size()) return 0;
    const QStringView digits = QStringView(name).sliced(prefix.size(), dash - prefix.size());
    for (QChar c : digits) {
        if (c < '0' || c > '9') return 0;
    }
    bool ok = false;
    const int pid = digits.toInt(&ok);
    return ok ? pid : 0;
}

bool ProcessRuns(pid_t pid) {
    // A process of another user answers EPERM: it runs.
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

}  // namespace

std::unique_ptr<QTemporaryFile> NewProcessTemporaryFile(const QString& folder,
                                                        const QString& prefix) {
    return std::make_unique<QTemporaryFile>(
        QDir(folder).filePath(QString("%1%2-XXXXXX").arg(prefix).arg(::getpid())));
}

int RemoveOrphanedTemporaryFiles(const QString& folder, const QString& prefix) {
    const uid_t user = ::geteuid();
    int removed = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(
             {prefix + "*"}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks)) {
        const pid_t pid = PidInName(name, prefix);
        if (pid <= 0 || ProcessRuns(pid)) continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != user) {
            continue;
        }
        // Should a process of another pid namespace share the folder, a file it still has
        // open only loses its name; its data stays readable through the open file.
        if (::unlink(path.constData()) == 0) ++removed;
    }
    return removed;
}

}  // namespace kavel
