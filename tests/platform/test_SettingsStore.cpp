// The settings store over an ini file, and where the settings files of tasks live.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <thread>

#include <sys/stat.h>

#include "common/TestSupport.h"
#include "platform/SettingsStore.h"

namespace kavel {
namespace {

using test::ReadFile;
using test::WriteFile;

TEST(SettingsStore, MissingFileReadsEmptyAndRefusedWritesLeaveTheFileAlone) {
    QTemporaryDir dir;
    const QString fileName = dir.filePath("PrintSetups_a.ini");
    SettingsStore store(fileName);
    EXPECT_EQ(store.Read("PRNSETUP", "PRINTERINDEX"), QString());
    ASSERT_TRUE(store.Write("PRNSETUP", "PRINTERINDEX", "2"));
    EXPECT_EQ(ReadFile(fileName), QByteArray("[PRNSETUP]\nPRINTERINDEX=2\n"));
    EXPECT_EQ(SettingsStore(fileName).Read("prnsetup", "printerindex"), QString("2"));
    EXPECT_FALSE(store.Write("S", "A", "line\nbreak"));
    EXPECT_FALSE(SettingsStore().Write("S", "A", "1"));
    EXPECT_FALSE(SettingsStore(dir.filePath("no/such/folder/x.ini")).Write("S", "A", "1"));
    EXPECT_EQ(ReadFile(fileName), QByteArray("[PRNSETUP]\nPRINTERINDEX=2\n"));
    // A name that is no file is not deleted.
    const QString folder = dir.filePath("PrintSetups_dir.ini");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(DeleteSettingsFile(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(DeleteSettingsFile(fileName));
    EXPECT_FALSE(QFileInfo::exists(fileName));
    EXPECT_TRUE(DeleteSettingsFile(fileName));  // nothing there: nothing remains
}

TEST(SettingsStore, EachReadSeesTheFileAsItIsNow) {
    QTemporaryDir dir;
    const QString fileName = dir.filePath("x.ini");
    SettingsStore store(fileName);
    ASSERT_TRUE(store.Write("S", "A", "1"));
    // Another writer (another control or process) changes the file in between.
    ASSERT_TRUE(WriteFile(fileName, "[S]\nA=7\n"));
    EXPECT_EQ(store.Read("S", "A"), QString("7"));
    // Read, then changed in place to another size, then replaced by a file of the same size.
    WriteFile(fileName, "[S]\nA=70\n");
    EXPECT_EQ(store.Read("S", "A"), QString("70"));
    const QString other = dir.filePath("other.ini");
    WriteFile(other, "[S]\nA=71\n");
    ASSERT_TRUE(QFile::remove(fileName));
    ASSERT_TRUE(QFile::rename(other, fileName));
    EXPECT_EQ(store.Read("S", "A"), QString("71"));
    ASSERT_TRUE(SettingsStore(fileName).Write("s", "a", "72"));
    EXPECT_EQ(store.Read("S", "A"), QString("72"));
}

TEST(SettingsStore, OnlyOrdinaryFilesOfBoundedSizeAreReadOrReplaced) {
    // None of these may hang the program, fill its memory or be replaced by a write.
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"folder", [](const QString& f) { ASSERT_TRUE(QDir().mkdir(f)); }},
        {"FIFO", [](const QString& f) { ASSERT_EQ(mkfifo(QFile::encodeName(f), 0600), 0); }},
        {"link to an endless device",
         [](const QString& f) { ASSERT_TRUE(QFile::link("/dev/zero", f)); }},
        {"larger than the limit",
         [](const QString& f) {
             QByteArray text = "[S]\nA=1\n";
             text += QByteArray(SettingsStore::kMaxSettingsFileSize - text.size() + 1, ';');
             ASSERT_TRUE(WriteFile(f, text));
         }},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString fileName = dir.filePath("PrintSetups_x.ini");
        c.make(fileName);
        const QFileInfo before(fileName);
        SettingsStore store(fileName);
        EXPECT_EQ(store.Read("S", "A"), QString()) << c.name;
        EXPECT_FALSE(store.Write("S", "A", "2")) << c.name;
        const QFileInfo after(fileName);
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << c.name;
        EXPECT_EQ(after.isDir(), before.isDir()) << c.name;
        EXPECT_EQ(after.size(), before.size()) << c.name;
        EXPECT_EQ(after.lastModified(), before.lastModified()) << c.name;
    }
    // A link to an ordinary file is that file.
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("elsewhere.ini"), "[S]\nA=1\n"));
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere.ini"), dir.filePath("link.ini")));
    SettingsStore store(dir.filePath("link.ini"));
    EXPECT_EQ(store.Read("S", "A"), QString("1"));
    ASSERT_TRUE(store.Write("S", "A", "2"));
    EXPECT_EQ(ReadFile(dir.filePath("elsewhere.ini")), QByteArray("[S]\nA=2\n"));
}

// Which lines a write keeps: test_IniText.
TEST(SettingsStore, WritersAtTheSameTimeLoseNoValue) {
    // Two writers (controls in other processes, here threads) change different keys of
    // one file at once; every value written is there afterwards.
    QTemporaryDir dir;
    const QString fileName = dir.filePath("shared.ini");
    constexpr int kWrites = 30;
    const auto writer = [&](const QString& section) {
        SettingsStore store(fileName);
        for (int i = 0; i < kWrites; ++i) {
            EXPECT_TRUE(store.Write(section, QString("K%1").arg(i), QString::number(i)));
        }
    };
    std::thread first(writer, "A");
    std::thread second(writer, "B");
    first.join();
    second.join();
    SettingsStore store(fileName);
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(store.Read("A", QString("K%1").arg(i)), QString::number(i));
        EXPECT_EQ(store.Read("B", QString("K%1").arg(i)), QString::number(i));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shared.ini"});
}

TEST(SettingsFolder, IsMadeLevelByLevelInTheBaseFolderOrIsEmpty) {
    test::ScopedSettingsFolder settings;
    const QString base = settings.Path() + "/fresh/data";  // not there yet
    SetSettingsBaseFolder(base);
    EXPECT_EQ(GetSettingsFolder(), base + "/Tarvenhold/Kavel");
    EXPECT_TRUE(QFileInfo(base + "/Tarvenhold/Kavel").isDir());
    const QString blocker = settings.Path() + "/file";
    WriteFile(blocker, "not a folder");
    SetSettingsBaseFolder(blocker);
    EXPECT_EQ(GetSettingsFolder(), QString());
    EXPECT_EQ(GetSettingsFileName(false, "task"), QString());
}

TEST(SettingsFileName, PrefixTrimmedTaskNameAndExtensionInsideTheFolder) {
    test::ScopedSettingsFolder settings;
    const QString folder = settings.Path() + "/Tarvenhold/Kavel";
    const std::tuple<bool, QString, QString> cases[] = {
        {false, "Invoice", "PrintSetups_Invoice.ini"},
        {true, "Invoice", "PrintDesigns_Invoice.ini"},
        {false, QString("\x01Invoice\r\n"), "PrintSetups_Invoice.ini"},
        {false, QString::fromUtf8("发票 A"), QString::fromUtf8("PrintSetups_发票 A.ini")},
        // A task name never leads out of the settings folder.
        {false, "../../etc/passwd", "PrintSetups_.._.._etc_passwd.ini"},
        {false, "a/b\\c", "PrintSetups_a_b_c.ini"},
        {false, QString("a\nb"), "PrintSetups_a_b.ini"}};
    for (const auto& [design, task, file] : cases) {
        const QString name = GetSettingsFileName(design, task);
        EXPECT_EQ(name, folder + "/" + file) << task.toStdString();
        EXPECT_EQ(QFileInfo(name).absolutePath(), folder) << task.toStdString();
    }
    ASSERT_TRUE(SettingsStore(GetSettingsFileName(false, "../escape")).Write("S", "A", "1"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/PrintSetups_.._escape.ini"));
}

TEST(SettingsFileName, TooLongNameKeepsItsStartAndAHashOfTheWhole) {
    test::ScopedSettingsFolder settings;
    const QString task = QString("任务").repeated(200);
    const QString name = GetSettingsFileName(false, task);
    const QString file = QFileInfo(name).fileName();
    EXPECT_TRUE(file.startsWith("PrintSetups_任务任务")) << file.toStdString();
    EXPECT_LE(file.toUtf8().size(), 240);
    EXPECT_NE(name, GetSettingsFileName(false, task + "x"));  // another name, another file
    ASSERT_TRUE(SettingsStore(name).Write("S", "A", "kept"));
    EXPECT_EQ(SettingsStore(GetSettingsFileName(false, task)).Read("S", "A"), "kept");
}

}  // namespace
}  // namespace kavel
