// Temporary files that name the process that made them ("<prefix><pid>-<random>"), so
// that files left behind by a process that was killed can be told from files in use.
#pragma once

#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace kavel {

// A new temporary file object named "<prefix><our pid>-XXXXXX" in the folder; the caller
// opens it (which makes it, private to the user) and it removes itself when freed.
std::unique_ptr<QTemporaryFile> NewProcessTemporaryFile(const QString& folder,
                                                        const QString& prefix);

// Removes the folder's files of that naming which belong to our user and whose process no
// longer runs; answers how many. Files of running processes, of other users, and anything
// else (other names, folders, links) stay.
int RemoveOrphanedTemporaryFiles(const QString& folder, const QString& prefix);

}  // namespace kavel
