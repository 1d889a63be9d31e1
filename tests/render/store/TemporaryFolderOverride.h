// Points the system's temporary folder elsewhere for one scope.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace kavel::test {

class TemporaryFolderOverride {
  public:
    explicit TemporaryFolderOverride(const QByteArray& folder) : saved_(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", folder);
    }
    ~TemporaryFolderOverride() {
        if (saved_.isEmpty()) {
            qunsetenv("TMPDIR");
        } else {
            qputenv("TMPDIR", saved_);
        }
    }
    TemporaryFolderOverride(const TemporaryFolderOverride&) = delete;
    TemporaryFolderOverride& operator=(const TemporaryFolderOverride&) = delete;

  private:
    QByteArray saved_;
};

// A folder in which nobody, root included, can create a file.
inline constexpr char kUnwritableFolder[] = "/proc";

}  // namespace kavel::test
