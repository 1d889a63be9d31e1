// The private runtime folder and files written into it without following links.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/RuntimeFolder.h"

namespace kavel {
namespace {

QByteArray ReadAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(RuntimeFolder, OnlyARealFolderOfOursWithMode0700IsPrivate) {
    struct Case {
        const char* name;
        std::function<QString(const QString& base)> make;  // answers the folder to check
        bool isPrivate;
    };
    const auto folder = [](const QString& path, mode_t mode) {
        QDir().mkdir(path);
        ::chmod(QFile::encodeName(path).constData(), mode);
        return path;
    };
    const Case cases[] = {
        {"ours, 0700", [&](const QString& b) { return folder(b + "/f", 0700); }, true},
        {"open to the group", [&](const QString& b) { return folder(b + "/f", 0750); }, false},
        {"open to everyone", [&](const QString& b) { return folder(b + "/f", 0777); }, false},
        {"a link to a private folder",
         [&](const QString& b) {
             QFile::link(folder(b + "/f", 0700), b + "/link");
             return b + "/link";
         },
         false},
        {"a file",
         [](const QString& b) {
             QFile file(b + "/file");
             file.open(QIODevice::WriteOnly);
             ::chmod(QFile::encodeName(b + "/file").constData(), 0700);
             return b + "/file";
         },
         false},
        {"missing", [](const QString& b) { return b + "/none"; }, false},
        {"relative", [](const QString&) { return QString("tmp"); }, false},
        {"empty", [](const QString&) { return QString(); }, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir base;
        EXPECT_EQ(IsPrivateFolder(c.make(base.path())), c.isPrivate) << c.name;
    }
    if (::geteuid() == 0) {
        // Another user's folder with the right mode is still theirs.
        QTemporaryDir base;
        const QString theirs = folder(base.path() + "/theirs", 0700);
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
        EXPECT_FALSE(IsPrivateFolder(theirs));
    }
}

TEST(RuntimeFolder, TheProcessFolderIsPrivate) {
    const QString folder = PrivateRuntimeFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(IsPrivateFolder(folder));
    EXPECT_EQ(PrivateRuntimeFolder(), folder);
}

TEST(RuntimeFolder, WritingReplacesAPlantedLinkAndLeavesItsTargetAlone) {
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim");
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep");
    file.close();
    ASSERT_TRUE(QFile::link(victim, dir.filePath("kavel-fonts.conf")));

    QString error;
    ASSERT_TRUE(WritePrivateFile(dir.path(), "kavel-fonts.conf", "<fontconfig/>", &error))
        << error.toStdString();
    EXPECT_EQ(ReadAll(victim), QByteArray("keep"));
    const QString written = dir.filePath("kavel-fonts.conf");
    EXPECT_FALSE(QFileInfo(written).isSymLink());
    EXPECT_EQ(ReadAll(written), QByteArray("<fontconfig/>"));
    EXPECT_EQ(ModeOf(written), 0600u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);

    EXPECT_FALSE(WritePrivateFile(dir.filePath("no/such/folder"), "x", "y", &error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace kavel
