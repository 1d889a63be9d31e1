#include "platform/IniText.h"

#include <QList>

namespace kavel {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// One line of the file with its line break, and what it says.
struct IniLine {
    enum Kind { Other, Section, Key };
    QByteArray raw;  // the bytes of the line including its line break, if any
    Kind kind = Other;
    QString name;          // section or key name, blanks removed
    qsizetype equals = 0;  // position of "=" in raw, for key lines
};

QByteArray Content(const QByteArray& raw) {
    QByteArray content = raw;
    while (content.endsWith('\n') || content.endsWith('\r')) content.chop(1);
    return content;
}

QList<IniLine> Parse(const QByteArray& text) {
    QList<IniLine> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf('\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        IniLine line;
        line.raw = text.mid(start, next - start);
        QByteArray content = Content(line.raw);
        qsizetype offset = 0;
        if (start == 0 && content.startsWith(kByteOrderMark)) {
            offset = kByteOrderMark.size();
            content = content.mid(offset);
        }
        const QByteArray trimmed = content.trimmed();
        if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.indexOf(']');
            line.kind = IniLine::Section;
            line.name = QString::fromUtf8(trimmed.mid(1, close < 0 ? -1 : close - 1)).trimmed();
        } else if (!trimmed.startsWith(';') && !trimmed.startsWith('#') && content.contains('=')) {
            line.kind = IniLine::Key;
            line.equals = offset + content.indexOf('=');
            line.name = QString::fromUtf8(content.left(content.indexOf('='))).trimmed();
        }
        lines.append(line);
        start = next;
    }
    return lines;
}

bool Same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

qsizetype FindSection(const QList<IniLine>& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == IniLine::Section && Same(lines[i].name, section)) return i;
    }
    return -1;
}

bool HasLineBreak(const QString& text) {
    return text.contains('\n') || text.contains('\r');
}

}  // namespace

IniIndex::IniIndex(const QByteArray& text) {
    QHash<QString, QString>* current = nullptr;
    for (const IniLine& line : Parse(text)) {
        if (line.kind == IniLine::Section) {
            const QString name = line.name.toCaseFolded();
            current = sections_.contains(name) ? nullptr : &sections_[name];
        } else if (line.kind == IniLine::Key && current) {
            const QString name = line.name.toCaseFolded();
            if (!current->contains(name)) {
                current->insert(
                    name, QString::fromUtf8(Content(line.raw).mid(line.equals + 1)).trimmed());
            }
        }
    }
}

std::optional<QString> IniIndex::Value(const QString& section, const QString& key) const {
    const auto s = sections_.constFind(section.trimmed().toCaseFolded());
    if (s == sections_.constEnd()) return std::nullopt;
    const auto k = s->constFind(key.trimmed().toCaseFolded());
    if (k == s->constEnd()) return std::nullopt;
    return *k;
}

std::optional<QString> IniValue(const QByteArray& text, const QString& section,
                                const QString& key) {
    return IniIndex(text).Value(section, key);
}

bool IniCanStore(const QString& section, const QString& key, const QString& value) {
    const QString s = section.trimmed();
    const QString k = key.trimmed();
    if (s.isEmpty() || k.isEmpty()) return false;
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (s.contains(']') || k.contains('=')) return false;
    return !k.startsWith('[') && !k.startsWith(';') && !k.startsWith('#');
}

QByteArray IniWithValue(const QByteArray& text, const QString& section, const QString& key,
                        const QString& value) {
    QList<IniLine> lines = Parse(text);
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    const QByteArray lineBreak =
        !lines.isEmpty() && lines.first().raw.endsWith("\r\n") ? QByteArray("\r\n") : "\n";
    const QByteArray newKeyLine = wantedKey.toUtf8() + '=' + value.toUtf8() + lineBreak;

    const auto join = [&lines] {
        QByteArray result;
        for (const IniLine& line : lines) result += line.raw;
        return result;
    };
    // A last line without a line break gets one before anything follows it.
    const auto endLine = [&lineBreak](IniLine& line) {
        if (!line.raw.endsWith('\n')) line.raw += lineBreak;
    };

    const qsizetype first = FindSection(lines, wantedSection);
    if (first < 0) {
        QByteArray result = text;
        if (!result.isEmpty() && !result.endsWith('\n')) result += lineBreak;
        return result + '[' + wantedSection.toUtf8() + ']' + lineBreak + newKeyLine;
    }

    qsizetype last = first;  // the section's last line that is not blank
    for (qsizetype i = first + 1; i < lines.size() && lines[i].kind != IniLine::Section; ++i) {
        IniLine& line = lines[i];
        if (line.kind == IniLine::Key && Same(line.name, wantedKey)) {
            // The key keeps its spelling and spacing; the value and the line break follow.
            const QByteArray rest = line.raw.mid(Content(line.raw).size());
            line.raw = line.raw.left(line.equals + 1) + value.toUtf8() + rest;
            return join();
        }
        if (!Content(line.raw).trimmed().isEmpty()) last = i;
    }
    endLine(lines[last]);
    IniLine added;
    added.raw = newKeyLine;
    lines.insert(last + 1, added);
    return join();
}

}  // namespace kavel
