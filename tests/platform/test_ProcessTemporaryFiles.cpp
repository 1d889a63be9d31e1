// Temporary files named after their process: those of processes that are gone are removed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include "common/TestSupport.h"
#include "platform/ProcessTemporaryFiles.h"

namespace kavel {
namespace {

// A process id that no process has: pids stay below the system's limit.
QString DeadPid() {
    return QString::fromLatin1(test::ReadFile("/proc/sys/kernel/pid_max").trimmed());
}

TEST(ProcessTemporaryFiles, OnlyOurFilesOfProcessesThatAreGoneAreRemoved) {
    const QString dead = DeadPid();
    const QString alive = QString::number(QCoreApplication::applicationPid());
    struct Case {
        QString name;
        enum { File, Folder, Link, OtherUsersFile } kind;
        bool removed;
    };
    const Case cases[] = {
        {"kvl" + dead + "-a1B2c3", Case::File, true},
        {"kvl" + alive + "-a1B2c3", Case::File, false},  // this process
        {"kvl1-a1B2c3", Case::File, false},              // a process of its own
        {"kvlA1b2C3", Case::File, false},                // no process in the name
        {"kvl" + dead, Case::File, false},
        {"other" + dead + "-a1B2c3", Case::File, false},
        {"kvl" + dead + "-folder", Case::Folder, false},
        {"kvl" + dead + "-link", Case::Link, false},
        {"kvl" + dead + "-theirs", Case::OtherUsersFile, false},
    };
    QTemporaryDir dir;
    int expected = 0;
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.name);
        if (c.kind == Case::Folder) {
            ASSERT_TRUE(QDir().mkdir(path));
        } else if (c.kind == Case::Link) {
            ASSERT_TRUE(QFile::link(dir.filePath("kvl" + alive + "-a1B2c3"), path));
        } else {
            ASSERT_TRUE(test::WriteFile(path));
        }
        if (c.kind == Case::OtherUsersFile &&
            (::geteuid() != 0 || ::chown(QFile::encodeName(path).constData(), 65534, 65534) != 0)) {
            QFile::remove(path);  // only root can give a file to another user
        }
        expected += c.removed ? 1 : 0;
    }
    EXPECT_EQ(RemoveOrphanedTemporaryFiles(dir.path(), "kvl"), expected);
    for (const Case& c : cases) {
        if (c.kind == Case::OtherUsersFile && ::geteuid() != 0) continue;
        EXPECT_EQ(
            QFileInfo::exists(dir.filePath(c.name)) || QFileInfo(dir.filePath(c.name)).isSymLink(),
            !c.removed)
            << c.name.toStdString();
    }
}

}  // namespace
}  // namespace kavel
