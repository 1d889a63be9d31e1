// Local text files for page script: which file a name really is, the permissions per site,
// and reading and writing with their status texts.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <utime.h>

#include "common/TestSupport.h"
#include "local/LocalTextFiles.h"
#include "platform/SettingsStore.h"

namespace kavel {
namespace {

using test::ReadFile;
using test::WriteFile;

// Answers in turn and remembers what it was asked.
class ScriptedQuestion : public FileAccessQuestion {
  public:
    FileAccessAnswer Ask(const QString& fileName, const QString& site) override {
        asked << fileName + " @ " + site;
        return answers.isEmpty() ? FileAccessAnswer::Refuse : answers.takeFirst();
    }
    QList<FileAccessAnswer> answers;
    QStringList asked;
};

// A home folder with key files, a settings folder, and ordinary files to grant.
class LocalFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(root.path()).mkpath("home/.ssh"));
        ASSERT_TRUE(QDir(root.path()).mkpath("settings"));
        ASSERT_TRUE(QDir(root.path()).mkpath("docs/sub"));
        ASSERT_TRUE(WriteFile(Path("home/.ssh/id_ed25519"), "secret\n"));
        ASSERT_TRUE(WriteFile(Path("home/.netrc"), "machine x password y\n"));
        ASSERT_TRUE(WriteFile(Path("docs/a.txt"), "a\nb"));
        ASSERT_TRUE(WriteFile(Path("settings/PrintSetups_x.ini"), "[PRNSETUP]\n"));
        ASSERT_TRUE(QFile::link(Path("home/.ssh"), Path("docs/keys")));
        ASSERT_TRUE(QFile::link(Path("docs/a.txt"), Path("docs/link.txt")));
    }
    QString Path(const QString& relative) const { return root.filePath(relative); }
    LocalPathGuard Guard() const { return LocalPathGuard(Path("settings"), Path("home")); }
    LocalTextFiles Files(const QString& site = "Shop.Example") {
        return LocalTextFiles(Guard(), site, question);
    }
    QString Grant(const QString& site, const QString& key) const {
        return SettingsStore(Guard().StoreFileName()).Read(site, key);
    }

    QTemporaryDir root;
    ScriptedQuestion question;
};

TEST_F(LocalFiles, NamesResolveToTheFileTheyReallyAre) {
    const QString store = Path("settings/FileAccessSetups.ini");
    struct Case {
        QString name;
        GuardedPath::Verdict verdict;
        QString path;
    };
    const Case cases[] = {
        {Path("docs/a.txt"), GuardedPath::Open, Path("docs/a.txt")},
        {Path("docs/sub/../a.txt"), GuardedPath::Open, Path("docs/a.txt")},
        {Path("docs//./a.txt"), GuardedPath::Open, Path("docs/a.txt")},
        {Path("docs/link.txt"), GuardedPath::Open, Path("docs/a.txt")},
        {Path("docs/new/../b.txt"), GuardedPath::Open, Path("docs/b.txt")},
        {Path("docs/sub/../../home/.ssh/id_ed25519"), GuardedPath::Protected,
         Path("home/.ssh/id_ed25519")},
        {Path("docs/keys/id_ed25519"), GuardedPath::Protected, Path("home/.ssh/id_ed25519")},
        {Path("home/.netrc"), GuardedPath::Protected, Path("home/.netrc")},
        {Path("settings/PrintSetups_x.ini"), GuardedPath::Protected,
         Path("settings/PrintSetups_x.ini")},
        {store, GuardedPath::PermissionStore, store},
        {Path("docs/../settings/./FileAccessSetups.ini"), GuardedPath::PermissionStore, store},
        {store.toUpper(), GuardedPath::PermissionStore, LocalPathGuard::Canonical(store.toUpper())},
        {"a.txt", GuardedPath::Unusable, ""},
        {"C:\\a.txt", GuardedPath::Unusable, ""},
        {Path("docs/a.txt\n") + Path("home/.netrc"), GuardedPath::Unusable, ""},
        {"", GuardedPath::Unusable, ""},
    };
    for (const Case& c : cases) {
        const GuardedPath got = Guard().Resolve(c.name);
        EXPECT_EQ(got.verdict, c.verdict) << c.name.toStdString();
        EXPECT_EQ(got.path, LocalPathGuard::Canonical(c.path)) << c.name.toStdString();
    }
}

TEST_F(LocalFiles, PermissionsAreAskedRememberedAndKeptPerSite) {
    const QString file = Path("docs/a.txt");
    const QString key = LocalPathGuard::Canonical(file);
    question.answers = {FileAccessAnswer::AllowOnce, FileAccessAnswer::Refuse,
                        FileAccessAnswer::AllowAlways};
    EXPECT_EQ(Files().Read(file).text, "a\r\nb\r\n");  // allowed this once
    EXPECT_EQ(Grant("shop.example", key), "");
    EXPECT_EQ(Files().Read(file).text, "");        // asked again and refused
    EXPECT_EQ(Files().Write(0, file, "x"), "ok");  // allowed for good
    EXPECT_EQ(Grant("shop.example", key), "1");
    EXPECT_EQ(question.asked, QStringList(3, key + " @ shop.example"));
    // Granted: no more questions, whatever the spelling of the same file.
    question.asked.clear();
    EXPECT_EQ(Files("SHOP.example").Read(Path("docs/sub/../link.txt")).text, "x\r\n");
    EXPECT_TRUE(question.asked.isEmpty());
    // Another site and pages from files have grants of their own.
    EXPECT_EQ(Files("other.example").Read(file).text, "");
    EXPECT_EQ(Files("").Write(0, file, "y"), "do nothing");
    EXPECT_EQ(question.asked, QStringList({key + " @ other.example", key + " @ LocalHtmFile"}));
}

TEST_F(LocalFiles, TheStoreTheSettingsAndTheKeysAreNeverOffered) {
    const QString store = Guard().StoreFileName();
    ASSERT_TRUE(SettingsStore(store).Write("shop.example", Path("docs/a.txt"), "1"));
    question.answers = {5, FileAccessAnswer::AllowAlways};
    const QString names[] = {store,
                             store.toLower(),
                             Path("docs/../settings/FileAccessSetups.ini"),
                             Path("settings/PrintSetups_x.ini"),
                             Path("docs/keys/id_ed25519"),
                             Path("home/.netrc")};
    for (const QString& name : names) {
        EXPECT_EQ(Files().Read(name).text, "") << name.toStdString();
        EXPECT_EQ(Files().Write(1, name, "shop.example/x=1"), "do nothing") << name.toStdString();
    }
    EXPECT_TRUE(question.asked.isEmpty());
    // Only a grant of the exact path, which the user writes into the store, opens a key.
    const QString key = LocalPathGuard::Canonical(Path("home/.ssh/id_ed25519"));
    ASSERT_TRUE(SettingsStore(store).Write("shop.example", key, "1"));
    EXPECT_EQ(Files().Read(Path("docs/keys/id_ed25519")).text, "secret\r\n");
    // The store itself stays closed even then.
    ASSERT_TRUE(SettingsStore(store).Write("shop.example", LocalPathGuard::Canonical(store), "1"));
    EXPECT_EQ(Files().Read(store).text, "");
}

TEST_F(LocalFiles, WritesChangeExistingFilesWhole) {
    const QString file = Path("docs/a.txt");
    ASSERT_TRUE(SettingsStore(Guard().StoreFileName())
                    .Write("shop.example", LocalPathGuard::Canonical(file), "1"));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    struct Case {
        int mode;
        QString text;
        QByteArray content;
    };
    const Case cases[] = {
        {1, "x", "a\r\nb\r\nx\r\n"},
        {2, "y", "y\r\na\r\nb\r\nx\r\n"},
        {0, "p\nq\r\nr", "p\r\nq\r\nr\r\n"},
        {1, "s\nt", "p\r\nq\r\nr\r\ns\nt\r\n"},  // one line, whatever it holds
        {7, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Files().Write(c.mode, file, c.text), "ok") << c.mode;
        EXPECT_EQ(ReadFile(file), c.content) << c.mode;
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its mode
    // Nothing appears beside the file (that no mode creates one: e2e_ports).
    EXPECT_EQ(QDir(Path("docs")).entryList(QDir::Files | QDir::NoDotAndDotDot),
              QStringList({"a.txt", "link.txt"}));
}

TEST_F(LocalFiles, ReadsAreBoundedAndFailuresSaySo) {
    const QString big = Path("docs/big.txt");
    ASSERT_TRUE(WriteFile(big, QByteArray(LocalTextFiles::kMaxFileSize + 1, 'x')));
    const QString folder = Path("docs/sub");
    for (const QString& name : {big, folder}) {
        ASSERT_TRUE(SettingsStore(Guard().StoreFileName())
                        .Write("shop.example", LocalPathGuard::Canonical(name), "1"));
    }
    const LocalTextFiles::ReadResult read = Files().Read(big);
    EXPECT_EQ(read.text, "");
    EXPECT_TRUE(read.error.contains("larger than 16 MB")) << read.error.toStdString();
    EXPECT_TRUE(Files().Write(1, big, "x").startsWith("WriteFile Error："));
    EXPECT_EQ(QFileInfo(big).size(), LocalTextFiles::kMaxFileSize + 1);
    // A folder is no file: nothing to read, nothing to write.
    EXPECT_EQ(Files().Read(folder).error, "");
    EXPECT_EQ(Files().Write(0, folder, "x"), "file not exist");
}

TEST_F(LocalFiles, ExistenceAndTimeNeedNoPermission) {
    const QString file = Path("docs/a.txt");
    const QDateTime changed(QDate(2024, 3, 5), QTime(14, 7, 9));
    utimbuf times{changed.toSecsSinceEpoch(), changed.toSecsSinceEpoch()};
    ASSERT_EQ(::utime(QFile::encodeName(file).constData(), &times), 0);
    EXPECT_EQ(LocalTextFiles::WriteTime(file), "2024-03-05 14:07:08");
    EXPECT_EQ(LocalTextFiles::WriteTime(Path("docs/none.txt")), "");
    // A file is there and a folder is not, without asking: e2e_ports.
    EXPECT_TRUE(LocalTextFiles::Exists(Path("docs/link.txt")));
    EXPECT_FALSE(LocalTextFiles::Exists("docs/a.txt"));
    EXPECT_TRUE(question.asked.isEmpty());
}

}  // namespace
}  // namespace kavel
