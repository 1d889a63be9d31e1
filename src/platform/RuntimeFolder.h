// A private folder for files that other users must neither read nor replace, such as the
// font configuration handed to Qt and to the browser. Names in the shared temporary folder
// are predictable and another user could plant a link there; these never are.
#pragma once

#include <QByteArray>
#include <QString>

namespace kavel {

// Whether a folder is private to us: a real folder (not a link) owned by our user with
// mode 0700.
bool IsPrivateFolder(const QString& folder);

// The process's private runtime folder: $XDG_RUNTIME_DIR when it is private to us, else a
// folder made for this process in the temporary folder (a unique name, mode 0700) and
// removed with its files when the process exits. The same folder for the life of the
// process; empty when none can be made.
QString PrivateRuntimeFolder();

// Writes a file into a folder without ever writing through a link: the bytes go to a new
// file made there (O_CREAT|O_EXCL|O_NOFOLLOW, mode 0600), which then takes the name by
// rename; a link planted under the name is replaced, its target left alone. False, with
// the reason in `error`, when the file cannot be written.
bool WritePrivateFile(const QString& folder, const QString& name, const QByteArray& bytes,
                      QString* error = nullptr);

}  // namespace kavel
