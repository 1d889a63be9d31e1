// The headless Chromium process: started with its debugging pipe on fds 3 (commands in) and
// 4 (replies out), a fresh private profile folder, stderr to /dev/null, in a process group of
// its own so that its helper processes go with it.
#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

#include <sys/types.h>

namespace kavel {

// The browser program: KAVEL_BROWSER when set, else Debian's chromium.
QString DefaultBrowserExecutable();

struct ChromiumOptions {
    QString executable = DefaultBrowserExecutable();
    QStringList extraArguments;  // after the standard ones
    // How long the browser may take to answer its first command.
    std::chrono::milliseconds startDeadline = std::chrono::seconds(30);
};

class ChromiumProcess {
  public:
    // Starts the browser; null with the reason when it cannot be started.
    static std::unique_ptr<ChromiumProcess> Launch(const ChromiumOptions& options, QString* error);
    // Kills the browser and its helpers and removes the profile folder.
    ~ChromiumProcess();
    ChromiumProcess(const ChromiumProcess&) = delete;
    ChromiumProcess& operator=(const ChromiumProcess&) = delete;

    // The pipe ends, for the connection, which closes them.
    int TakeReplyEnd();
    int TakeCommandEnd();
    pid_t Pid() const { return pid_; }
    QString ProfileFolder() const { return profile_; }
    // How the browser ended ("it exited with status 1"); empty while it runs. With a wait,
    // gives it that long to end (its pipe closes a moment before it has ended).
    QString ExitDescription(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    void Kill();
    // At the program's end: kills without waiting for the browser to be gone (tearing down
    // its memory takes the system tens of milliseconds); the system reaps it after us.
    void KillWithoutWaiting();

  private:
    ChromiumProcess() = default;

    pid_t pid_ = 0;
    void Signal();

    bool reaped_ = false;  // or left to the system: nothing of it to wait for
    int status_ = 0;
    int replies_ = -1, commands_ = -1;
    QString profile_;
};

}  // namespace kavel
