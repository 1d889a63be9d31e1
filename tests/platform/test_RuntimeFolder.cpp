// The private runtime folder and files written into it without following links.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "common/TestSupport.h"
#include "platform/RuntimeFolder.h"

namespace kavel {
namespace {

using test::ReadFile;

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(RuntimeFolder, OnlyARealFolderOfOursWithMode0700IsPrivate) {
    QTemporaryDir base;
    const auto made = [&](const char* name, mode_t mode) {
        const QString path = base.filePath(name);
        QDir().mkdir(path);
        ::chmod(QFile::encodeName(path).constData(), mode);
        return path;
    };
    EXPECT_TRUE(IsPrivateFolder(made("ours", 0700)));
    ASSERT_TRUE(QFile::link(base.filePath("ours"), base.filePath("link")));
    ASSERT_TRUE(test::WriteFile(base.filePath("file")));
    ::chmod(QFile::encodeName(base.filePath("file")).constData(), 0700);
    for (const QString& other :
         {made("group", 0750), made("everyone", 0777), base.filePath("link"), base.filePath("file"),
          base.filePath("none"), QString("tmp"), QString()}) {
        EXPECT_FALSE(IsPrivateFolder(other)) << other.toStdString();
    }
    if (::geteuid() == 0) {  // another user's folder with the right mode is still theirs
        const QString theirs = made("theirs", 0700);
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
    ASSERT_TRUE(test::WriteFile(victim, "keep"));
    ASSERT_TRUE(QFile::link(victim, dir.filePath("kavel-fonts.conf")));

    QString error;
    ASSERT_TRUE(WritePrivateFile(dir.path(), "kavel-fonts.conf", "<fontconfig/>", &error))
        << error.toStdString();
    EXPECT_EQ(ReadFile(victim), QByteArray("keep"));
    const QString written = dir.filePath("kavel-fonts.conf");
    EXPECT_FALSE(QFileInfo(written).isSymLink());
    EXPECT_EQ(ReadFile(written), QByteArray("<fontconfig/>"));
    EXPECT_EQ(ModeOf(written), 0600u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
    EXPECT_FALSE(WritePrivateFile(dir.filePath("no/such/folder"), "x", "y", &error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace kavel
