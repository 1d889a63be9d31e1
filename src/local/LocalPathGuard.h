// Which local file a name that page script passes really is, and whether a page may be
// asked about it at all. Names are compared as canonical paths (links resolved, "." and
// ".." and doubled separators gone), so no other spelling, "../" or link reaches a file
// the user did not grant.
#pragma once

#include <QString>
#include <QStringList>

namespace kavel {

struct GuardedPath {
    enum Verdict {
        Open,             // the user may be asked about it
        Protected,        // the settings folder or the user's keys: only an exact grant opens it
        PermissionStore,  // the permission store itself: never
        Unusable,         // empty, relative, or with control characters: never
    };
    Verdict verdict = Unusable;
    QString path;  // canonical; empty when Unusable
};

class LocalPathGuard {
  public:
    // `settingsFolder` holds the permission store; `homeFolder` the user's key folders.
    LocalPathGuard(const QString& settingsFolder, const QString& homeFolder);

    QString StoreFileName() const { return storeFile_; }
    GuardedPath Resolve(const QString& fileName) const;

    // Whether page script may name a file so at all: an absolute path without control
    // characters.
    static bool IsUsableName(const QString& fileName);
    // The canonical form of an absolute path: links resolved as far as the path exists,
    // the rest cleaned. Empty for a relative path.
    static QString Canonical(const QString& path);

  private:
    QString storeFile_;
    QString canonicalStore_;
    QStringList protectedFolders_;  // canonical
    QStringList protectedFiles_;    // canonical
};

}  // namespace kavel
