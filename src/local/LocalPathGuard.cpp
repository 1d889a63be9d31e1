#include "local/LocalPathGuard.h"

#include <QDir>
#include <QFileInfo>

namespace kavel {

namespace {

// Folders and files below the home folder that hold the user's keys and credentials.
const char* const kKeyFolders[] = {
    ".ssh", ".gnupg", ".pki",   ".password-store", ".local/share/keyrings",
    ".aws", ".kube",  ".docker"};
const char* const kKeyFiles[] = {".netrc", ".git-credentials", ".pgpass"};

bool Inside(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

bool HasControlCharacter(const QString& name) {
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool LocalPathGuard::IsUsableName(const QString& fileName) {
    return QDir::isAbsolutePath(fileName) && !HasControlCharacter(fileName);
}

QString LocalPathGuard::Canonical(const QString& path) {
    if (!QDir::isAbsolutePath(path)) return QString();
    // The longest part of the path that exists is resolved by the system, which follows
    // links before it goes up a "..": cleaning the text first could name another file.
    QString existing = path;
    QString rest;
    while (!QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf('/');
        if (slash <= 0) return QDir::cleanPath(path);
        rest = existing.mid(slash) + rest;
        existing.truncate(slash);
    }
    const QString resolved = QFileInfo(existing).canonicalFilePath();
    if (resolved.isEmpty()) return QDir::cleanPath(path);
    return QDir::cleanPath(resolved + rest);
}

LocalPathGuard::LocalPathGuard(const QString& settingsFolder, const QString& homeFolder) {
    if (!settingsFolder.isEmpty()) {
        storeFile_ = QDir(settingsFolder).filePath("FileAccessSetups.ini");
        canonicalStore_ = Canonical(storeFile_);
        protectedFolders_ << Canonical(settingsFolder);
    }
    if (QDir::isAbsolutePath(homeFolder)) {
        for (const char* folder : kKeyFolders) {
            protectedFolders_ << Canonical(QDir(homeFolder).filePath(folder));
        }
        for (const char* file : kKeyFiles) {
            protectedFiles_ << Canonical(QDir(homeFolder).filePath(file));
        }
    }
}

GuardedPath LocalPathGuard::Resolve(const QString& fileName) const {
    if (!IsUsableName(fileName)) return {};
    const QString path = Canonical(fileName);
    if (path == canonicalStore_ || fileName.compare(storeFile_, Qt::CaseInsensitive) == 0) {
        return {GuardedPath::PermissionStore, path};
    }
    for (const QString& folder : protectedFolders_) {
        if (Inside(path, folder)) return {GuardedPath::Protected, path};
    }
    if (protectedFiles_.contains(path)) return {GuardedPath::Protected, path};
    return {GuardedPath::Open, path};
}

}  // namespace kavel
