// Small local text files for page script: read and written only with the user's
// permission per site, remembered in FileAccessSetups.ini; tested for existence and time
// without asking. Text is UTF-8, the system's character set; lines end in CR LF.
#pragma once

#include <QString>

#include "local/AskFormUnit.h"
#include "local/LocalPathGuard.h"

namespace kavel {

class LocalTextFiles {
  public:
    // Files larger than this are not read (nor extended by a write).
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    // `site`: the host of the verified page, or empty for a page opened from a file.
    LocalTextFiles(LocalPathGuard guard, const QString& site, FileAccessQuestion& question);

    // The permission store's section of the site: its host in lower case, "LocalHtmFile"
    // without one.
    QString Section() const { return section_; }

    // The canonical path of the file when the site may read and write it: granted before,
    // or allowed now by the user (and remembered when allowed for good).
    std::optional<QString> Permit(const QString& fileName);

    struct ReadResult {
        QString text;   // each line followed by CR LF; empty when refused or missing
        QString error;  // why the file could not be read; empty when it could
    };
    ReadResult Read(const QString& fileName);
    // Mode 1 appends the text as a last line, 2 inserts it as a first line, any other
    // replaces the content. Answers "ok", "do nothing" (refused), "file not exist" or
    // "WriteFile Error：" and why. The file is replaced whole or not at all.
    QString Write(int mode, const QString& fileName, const QString& text);

    // Without asking: whether the name is an existing file (not a folder), and its last
    // write time in local time at two-second resolution ("yyyy-MM-dd hh:mm:ss", empty
    // when there is no such file).
    static bool Exists(const QString& fileName);
    static QString WriteTime(const QString& fileName);

  private:
    LocalPathGuard guard_;
    QString section_;
    FileAccessQuestion& question_;
};

}  // namespace kavel
