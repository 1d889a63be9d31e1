// The settings store: an ini file read and written one value at a time.
#pragma once

#include <QString>
#include <memory>

#include "platform/IniText.h"
#include "platform/RegularFile.h"

namespace kavel {

// Only ordinary files are settings files: a folder, FIFO or device in a settings file's place
// (or a link to one) reads as empty and is never written. So is a file larger than
// kMaxSettingsFileSize, which no layout reaches (a layout of a thousand items is about
// 400 KB).
class SettingsStore {
  public:
    static constexpr qint64 kMaxSettingsFileSize = 16 * 1024 * 1024;

    explicit SettingsStore(const QString& fileName = QString()) : fileName_(fileName) {}
    QString FileName() const { return fileName_; }

    // The value of a key; empty when the file, the section or the key is missing.
    // Sections and keys match without regard to case.
    QString Read(const QString& section, const QString& key) const;
    // The file's values as they are now, for reading many keys with one look at the file;
    // null when there is no file or it cannot be read.
    std::shared_ptr<const IniIndex> Snapshot() const;
    // Writes one value, keeping every other line of the file; the file is replaced
    // atomically. False when the file cannot be written (or the store has no file), and
    // when the file there could not be read whole: what cannot be read is never replaced.
    bool Write(const QString& section, const QString& key, const QString& value);

  private:
    QString fileName_;
    mutable FileIdentity identity_;
    mutable std::shared_ptr<const IniIndex> index_;
};

// Base folder of the settings folder: the user's XDG data folder, or what was set.
QString SettingsBaseFolder();
void SetSettingsBaseFolder(const QString& folder);  // empty: back to the XDG folder

// The settings folder (base/Tarvenhold/Kavel), created as needed; empty when it
// cannot be made.
QString GetSettingsFolder();
// The layout file of a task: "PrintDesigns_" in design mode, else "PrintSetups_",
// then the trimmed task name and ".ini"; empty when there is no settings folder.
QString GetSettingsFileName(bool design, const QString& taskName);
// Deletes a settings file; true when no file of that name remains.
bool DeleteSettingsFile(const QString& fileName);

}  // namespace kavel
