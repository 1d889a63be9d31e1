#include "local/LocalTextFiles.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/OutputFile.h"
#include "platform/RegularFile.h"
#include "platform/SettingsStore.h"

namespace kavel {

namespace {

const QString kWriteError = QStringLiteral("WriteFile Error：");

QStringList TextLines(const QString& text) {
    static const QRegularExpression kLineEnd("\r\n|\n|\r");
    QStringList lines = text.split(kLineEnd);
    // A final line end closes the last line; it opens no empty one.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray Joined(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// The file's lines, or why it cannot be read.
std::optional<QStringList> ReadLines(const QString& path, QString* error) {
    const RegularFileContent content = ReadRegularFile(path, LocalTextFiles::kMaxFileSize);
    switch (content.status) {
        case RegularFileContent::Read:
            return TextLines(QString::fromUtf8(content.bytes));
        case RegularFileContent::Missing:
            *error = QString("\"%1\" does not exist").arg(path);
            break;
        case RegularFileContent::NotRegular:
            *error = QString("\"%1\" is no ordinary file").arg(path);
            break;
        case RegularFileContent::TooLarge:
            *error = QString("\"%1\" is larger than %2 MB")
                         .arg(path)
                         .arg(LocalTextFiles::kMaxFileSize / (1024 * 1024));
            break;
        case RegularFileContent::Failed:
            *error = content.error;
            break;
    }
    return std::nullopt;
}

}  // namespace

LocalTextFiles::LocalTextFiles(LocalPathGuard guard, const QString& site,
                               FileAccessQuestion& question)
    : guard_(std::move(guard)),
      section_(site.isEmpty() ? QStringLiteral("LocalHtmFile") : site.toLower()),
      question_(question) {}

std::optional<QString> LocalTextFiles::Permit(const QString& fileName) {
    const GuardedPath file = guard_.Resolve(fileName);
    if (file.verdict == GuardedPath::Unusable || file.verdict == GuardedPath::PermissionStore) {
        return std::nullopt;
    }
    SettingsStore store(guard_.StoreFileName());
    if (store.Read(section_, file.path) == "1") return file.path;
    // The user's keys and the control's own settings are never offered in a question.
    if (file.verdict == GuardedPath::Protected) return std::nullopt;
    switch (question_.Ask(file.path, section_)) {
        case FileAccessAnswer::Refuse:
            return std::nullopt;
        case FileAccessAnswer::AllowAlways:
            // A grant that cannot be stored (a name with "=") still allows this call.
            store.Write(section_, file.path, "1");
            return file.path;
        case FileAccessAnswer::AllowOnce:
            return file.path;
    }
    return std::nullopt;
}

LocalTextFiles::ReadResult LocalTextFiles::Read(const QString& fileName) {
    const std::optional<QString> path = Permit(fileName);
    if (!path || !QFileInfo(*path).isFile()) return {};
    QString error;
    const std::optional<QStringList> lines = ReadLines(*path, &error);
    if (!lines) return {QString(), error};
    return {QString::fromUtf8(Joined(*lines)), QString()};
}

QString LocalTextFiles::Write(int mode, const QString& fileName, const QString& text) {
    const std::optional<QString> path = Permit(fileName);
    if (!path) return QStringLiteral("do nothing");
    // No mode creates a file, so no folder or file appears that the user did not grant.
    if (!QFileInfo(*path).isFile()) return QStringLiteral("file not exist");
    QStringList lines;
    if (mode == 1 || mode == 2) {
        QString error;
        const std::optional<QStringList> existing = ReadLines(*path, &error);
        if (!existing) return kWriteError + error;
        lines = *existing;
        // The text is one line, whatever line breaks it holds.
        mode == 1 ? lines.append(text) : lines.prepend(text);
    } else {
        lines = TextLines(text);
    }
    QString error;
    if (!WriteOutputFile(*path, Joined(lines), &error)) return kWriteError + error;
    return QStringLiteral("ok");
}

bool LocalTextFiles::Exists(const QString& fileName) {
    return LocalPathGuard::IsUsableName(fileName) && QFileInfo(fileName).isFile();
}

QString LocalTextFiles::WriteTime(const QString& fileName) {
    if (!Exists(fileName)) return QString();
    const QDateTime changed = QFileInfo(fileName).lastModified();
    // Two-second steps, as the packed file dates that pages know have them.
    const QDateTime even = changed.addSecs(-(changed.time().second() % 2));
    return even.toString("yyyy-MM-dd hh:mm:ss");
}

}  // namespace kavel
