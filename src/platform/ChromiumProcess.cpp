#include "platform/ChromiumProcess.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/RuntimeFolder.h"

extern char** environ;

namespace kavel {

QString DefaultBrowserExecutable() {
    const QString chosen = qEnvironmentVariable("KAVEL_BROWSER");
    return chosen.isEmpty() ? QStringLiteral("/usr/lib/chromium/chromium") : chosen;
}

namespace {

// The flags of a browser that only lays out and paints pages for us.
const char* const kStandardArguments[] = {
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-extensions",
    "--disable-breakpad",
    "--mute-audio",
    "--hide-scrollbars",
    // The browser's own address-bar popup is a page of its own, loaded in a renderer of its
    // own as the browser starts; it takes a processor from the layout of ours.
    "--disable-features=WebUIOmniboxPopup,WebUIOmniboxAimPopup,PreloadTopChromeWebUI",
    "--remote-debugging-pipe",
};

// Profile folders are named after the process that made them, so that the folder of a
// process that was killed can be told from one in use and removed.
const char kProfilePrefix[] = "kavel-browser-";

void RemoveOrphanedProfiles(const QString& folder) {
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QString::fromLatin1(kProfilePrefix) + '*'}, QDir::Dirs | QDir::NoSymLinks);
    for (const QString& name : names) {
        bool ok = false;
        const pid_t owner =
            name.mid(int(std::strlen(kProfilePrefix))).section('-', 0, 0).toInt(&ok);
        struct stat info {};
        if (!ok || owner <= 0 || owner == ::getpid() ||
            ::lstat(QFile::encodeName(dir.filePath(name)).constData(), &info) != 0 ||
            info.st_uid != ::geteuid()) {
            continue;
        }
        if (::kill(owner, 0) == 0 || errno == EPERM) continue;  // still running
        QDir(dir.filePath(name)).removeRecursively();
    }
}

// Where profile folders are made: a folder held in memory when there is one we may use.
// The browser writes a few hundred files as it starts and syncs its databases; on a disk
// that costs time at the start of every run, and removing them at its end again.
QString ProfileParent() {
    constexpr quint64 kProfileRoom = quint64(256) << 20;
    const auto usable = [](const QString& folder) {
        const QByteArray path = QFile::encodeName(folder);
        struct statfs volume {};
        struct stat info {};
        // Room to spare (the browser's shared memory lives there too), and shared with
        // other users only with the sticky bit, as the temporary folder is.
        return !folder.isEmpty() && ::statfs(path.constData(), &volume) == 0 &&
               volume.f_type == TMPFS_MAGIC &&
               quint64(volume.f_bavail) * quint64(volume.f_bsize) >= kProfileRoom &&
               ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
               ((info.st_mode & S_IWOTH) == 0 || (info.st_mode & S_ISVTX)) &&
               ::access(path.constData(), W_OK | X_OK) == 0;
    };
    const QString temporary = QDir::tempPath();
    for (const QString& folder : {temporary, PrivateRuntimeFolder(), QStringLiteral("/dev/shm")}) {
        if (usable(folder)) return folder;
    }
    return temporary;
}

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

void CloseQuietly(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The child's side between fork and exec: only async-signal-safe calls.
[[noreturn]] void RunChild(pid_t parent, int commands, int replies, int status, char** argv) {
    ::setpgid(0, 0);
    // The browser goes with us even when we are killed.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(1);
    // The pipe ends are above 4, so dup2 gives fresh descriptors 3 and 4 without
    // close-on-exec (dup2 of a descriptor onto itself would keep the flag).
    ::dup2(commands, 3);
    ::dup2(replies, 4);
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);  // the browser's stderr fills with notes of no use here
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::execve(argv[0], argv, environ);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(status, &error, sizeof error);
    ::_exit(127);
}

}  // namespace

std::unique_ptr<ChromiumProcess> ChromiumProcess::Launch(const ChromiumOptions& options,
                                                         QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return nullptr;
    };
    const QByteArray executable = QFile::encodeName(options.executable);
    if (::access(executable.constData(), X_OK) != 0) {
        return fail(QStringLiteral("%1: %2").arg(options.executable, ErrorText(errno)));
    }
    std::unique_ptr<ChromiumProcess> process(new ChromiumProcess);
    const QString profiles = ProfileParent();
    RemoveOrphanedProfiles(profiles);
    QByteArray profile = QFile::encodeName(profiles) + '/' + kProfilePrefix +
                         QByteArray::number(::getpid()) + "-XXXXXX";
    if (!::mkdtemp(profile.data())) {  // mode 0700: private to us
        return fail(QStringLiteral("no profile folder: %1").arg(ErrorText(errno)));
    }
    process->profile_ = QFile::decodeName(profile);

    std::vector<QByteArray> arguments{executable};
    for (const char* argument : kStandardArguments) arguments.emplace_back(argument);
    arguments.push_back("--user-data-dir=" + profile);
    for (const QString& extra : options.extraArguments) arguments.push_back(extra.toLocal8Bit());
    // The page the browser opens with, blank rather than its new-tab page: the first page
    // of ours takes it.
    arguments.push_back("about:blank");
    std::vector<char*> argv;
    for (QByteArray& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int toBrowser[2], fromBrowser[2], status[2];
    if (::pipe2(toBrowser, O_CLOEXEC) != 0) return fail(ErrorText(errno));
    if (::pipe2(fromBrowser, O_CLOEXEC) != 0) {
        ::close(toBrowser[0]);
        ::close(toBrowser[1]);
        return fail(ErrorText(errno));
    }
    if (::pipe2(status, O_CLOEXEC) != 0) {
        for (int fd : {toBrowser[0], toBrowser[1], fromBrowser[0], fromBrowser[1]}) ::close(fd);
        return fail(ErrorText(errno));
    }
    // The child's ends, moved above 4 (see RunChild).
    int childCommands = ::fcntl(toBrowser[0], F_DUPFD_CLOEXEC, 10);
    int childReplies = ::fcntl(fromBrowser[1], F_DUPFD_CLOEXEC, 10);
    int childStatus = ::fcntl(status[1], F_DUPFD_CLOEXEC, 10);
    for (int fd : {toBrowser[0], fromBrowser[1], status[1]}) ::close(fd);
    process->commands_ = toBrowser[1];
    process->replies_ = fromBrowser[0];
    int statusRead = status[0];
    const auto closeChildEnds = [&] {
        CloseQuietly(childCommands);
        CloseQuietly(childReplies);
        CloseQuietly(childStatus);
    };
    if (childCommands < 0 || childReplies < 0 || childStatus < 0) {
        closeChildEnds();
        CloseQuietly(statusRead);
        return fail(ErrorText(errno));
    }

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        closeChildEnds();
        CloseQuietly(statusRead);
        return fail(ErrorText(errno));
    }
    if (pid == 0) RunChild(parent, childCommands, childReplies, childStatus, argv.data());
    process->pid_ = pid;
    closeChildEnds();
    // The status pipe closes on a successful exec; an errno comes through it otherwise.
    int childError = 0;
    ssize_t n;
    do {
        n = ::read(statusRead, &childError, sizeof childError);
    } while (n < 0 && errno == EINTR);
    CloseQuietly(statusRead);
    if (n == sizeof childError) {
        return fail(QStringLiteral("%1: %2").arg(options.executable, ErrorText(childError)));
    }
    return process;
}

ChromiumProcess::~ChromiumProcess() {
    Kill();
    CloseQuietly(replies_);
    CloseQuietly(commands_);
    if (!profile_.isEmpty()) QDir(profile_).removeRecursively();
}

int ChromiumProcess::TakeReplyEnd() {
    return std::exchange(replies_, -1);
}

int ChromiumProcess::TakeCommandEnd() {
    return std::exchange(commands_, -1);
}

QString ChromiumProcess::ExitDescription(std::chrono::milliseconds wait) {
    if (pid_ <= 0) return QStringLiteral("it was not started");
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!reaped_) {
        // Look without reaping first: while the browser is a zombie its process group id
        // cannot be reused, so the helpers it leaves can still be ended as a group.
        siginfo_t info{};
        if (::waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid_) {
            Kill();
            break;
        }
        if (std::chrono::steady_clock::now() >= until) return {};
        ::usleep(5000);
    }
    if (WIFEXITED(status_))
        return QStringLiteral("it exited with status %1").arg(WEXITSTATUS(status_));
    if (WIFSIGNALED(status_))
        return QStringLiteral("it was ended by signal %1").arg(WTERMSIG(status_));
    return QStringLiteral("it ended");
}

void ChromiumProcess::Signal() {
    // The whole group: the browser and the helper processes it started.
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
}

void ChromiumProcess::KillWithoutWaiting() {
    if (pid_ <= 0 || reaped_) return;
    Signal();
    reaped_ = true;
}

void ChromiumProcess::Kill() {
    if (pid_ <= 0 || reaped_) return;
    Signal();
    pid_t done;
    do {
        done = ::waitpid(pid_, &status_, 0);
    } while (done < 0 && errno == EINTR);
    reaped_ = true;
}

}  // namespace kavel
