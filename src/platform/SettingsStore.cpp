#include "platform/SettingsStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/IniText.h"

namespace kavel {

namespace {

// Another writer of the same file waits this long for the lock before giving up.
constexpr int kLockWaitMs = 5000;

QString& BaseFolderSlot() {
    static QString folder;
    return folder;
}

bool IsBlankOrControl(QChar c) {
    return c.unicode() <= 0x20 || c.category() == QChar::Other_Control;
}

// The task name as part of a file name: blanks and control characters around it go;
// inside it, path separators and control characters become "_" so that the file stays
// in the settings folder whatever the page calls its task.
QString FilePartOfTask(const QString& taskName) {
    qsizetype begin = 0;
    qsizetype end = taskName.size();
    while (begin < end && IsBlankOrControl(taskName[begin])) ++begin;
    while (end > begin && IsBlankOrControl(taskName[end - 1])) --end;
    QString part = taskName.mid(begin, end - begin);
    for (QChar& c : part) {
        if (c == '/' || c == '\\' || (c.unicode() < 0x20) || c.category() == QChar::Other_Control) {
            c = '_';
        }
    }
    return part;
}

}  // namespace

QString SettingsStore::Read(const QString& section, const QString& key) const {
    const std::shared_ptr<const IniIndex> index = Snapshot();
    return index ? index->Value(section, key).value_or(QString()) : QString();
}

std::shared_ptr<const IniIndex> SettingsStore::Snapshot() const {
    if (fileName_.isEmpty()) return nullptr;
    // The file is read again only when it changed (another file in its place, another
    // size or time), so that reading a whole layout costs one read of the file.
    const std::optional<FileIdentity> identity = RegularFileIdentity(fileName_);
    if (!identity) return nullptr;
    if (!index_ || !(identity_ == *identity)) {
        index_.reset();
        const RegularFileContent content = ReadRegularFile(fileName_, kMaxSettingsFileSize);
        if (content.status != RegularFileContent::Read) return nullptr;
        index_ = std::make_shared<IniIndex>(content.bytes);
        identity_ = content.identity;
    }
    return index_;
}

bool SettingsStore::Write(const QString& section, const QString& key, const QString& value) {
    if (fileName_.isEmpty() || !IniCanStore(section, key, value)) return false;

    // Writers in other processes change other keys of the same file: each one reads,
    // changes and replaces the file while holding the lock, so no change is lost.
    QLockFile lock(fileName_ + ".lock");
    if (!lock.tryLock(kLockWaitMs)) return false;

    const RegularFileContent existing = ReadRegularFile(fileName_, kMaxSettingsFileSize);
    if (existing.status != RegularFileContent::Read &&
        existing.status != RegularFileContent::Missing) {
        return false;  // never replace what we cannot read whole
    }
    const QByteArray changed = IniWithValue(existing.bytes, section, key, value);
    if (existing.status == RegularFileContent::Read && changed == existing.bytes) return true;
    if (changed.size() > kMaxSettingsFileSize) return false;  // it could not be read back

    QSaveFile file(fileName_);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(changed) != changed.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString SettingsBaseFolder() {
    const QString& folder = BaseFolderSlot();
    if (!folder.isEmpty()) return folder;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

void SetSettingsBaseFolder(const QString& folder) {
    BaseFolderSlot() = folder;
}

QString GetSettingsFolder() {
    QString folder = SettingsBaseFolder();
    if (folder.isEmpty()) return QString();
    // The base may not exist yet on a fresh account; each level is made in turn.
    if (!QDir().mkpath(folder)) return QString();
    for (const char* level : {"Tarvenhold", "Kavel"}) {
        folder = QDir(folder).filePath(level);
        QDir().mkdir(folder);
    }
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString GetSettingsFileName(bool design, const QString& taskName) {
    const QString folder = GetSettingsFolder();
    if (folder.isEmpty()) return QString();
    const QString prefix = design ? "PrintDesigns_" : "PrintSetups_";
    QString part = FilePartOfTask(taskName);
    // A file name has 255 bytes at most, and the store writes beside it (".lock", a
    // temporary suffix): a longer task name keeps its start and a hash of the whole, so
    // its layout is still kept and no two long names share a file.
    constexpr int kMaxNameBytes = 240;
    if ((prefix + part + ".ini").toUtf8().size() > kMaxNameBytes) {
        const QString hash = QString::fromLatin1(
            QCryptographicHash::hash(part.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
        part.truncate(kMaxNameBytes);  // no more characters than bytes fit
        while ((prefix + part + "~" + hash + ".ini").toUtf8().size() > kMaxNameBytes) part.chop(1);
        if (!part.isEmpty() && part.back().isHighSurrogate()) part.chop(1);
        part += "~" + hash;
    }
    return folder + "/" + prefix + part + ".ini";
}

bool DeleteSettingsFile(const QString& fileName) {
    if (fileName.isEmpty()) return true;
    QFile::remove(fileName);
    return !QFileInfo::exists(fileName);
}

}  // namespace kavel
