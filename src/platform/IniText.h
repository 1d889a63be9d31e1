// Ini text as the private-profile functions treat it: "[section]" lines, "key=value"
// lines, sections and keys matched without regard to case, the first match winning.
// Pure functions on the bytes of a file; every line they do not change stays byte for
// byte (comments, blank lines, unknown keys, other sections, line endings, encoding).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace kavel {

// Every value of an ini text, for many look-ups in one text.
class IniIndex {
  public:
    explicit IniIndex(const QByteArray& text);
    // The value of a key (blanks around it removed); nothing when the section or key is
    // missing. Keys before the first section belong to no section; of sections or keys
    // of the same name, the first one counts.
    std::optional<QString> Value(const QString& section, const QString& key) const;

  private:
    QHash<QString, QHash<QString, QString>> sections_;
};

// One look-up, as IniIndex answers it.
std::optional<QString> IniValue(const QByteArray& text, const QString& section, const QString& key);

// Whether a value can be stored under a section and key without changing the meaning
// of other lines: names not empty, no line breaks anywhere, no "=" in the key, no "]" in
// the section, and a key that cannot be taken for a section or a comment.
bool IniCanStore(const QString& section, const QString& key, const QString& value);

// The text with the key set to the value (UTF-8): the first matching key line is
// rewritten, a missing key is added after the section's last line, a missing section is
// appended. Line breaks follow the text's first line ("\n" for a new file). The caller
// checks IniCanStore first.
QByteArray IniWithValue(const QByteArray& text, const QString& section, const QString& key,
                        const QString& value);

}  // namespace kavel
