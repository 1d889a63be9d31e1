// Ini text as the private-profile functions treat it: "[section]" lines, "key=value"
// lines, sections and keys matched without regard to case, the first match winning.
// Pure functions on the bytes of a file; every line they do not change stays byte for
// byte (comments, blank lines, unknown keys, other sections, line endings, encoding).
// Time is linear in the text; the index keeps offsets into the text, not copies of it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace kavel {

// Every value of an ini text, for many look-ups in one text. Holds a shallow copy of the
// text and, per section and key line, a few offsets into it (about 40 bytes a line at
// most), so a large file costs a small multiple of its size. Texts are indexed up to
// 4 GiB; lines beyond that are not found.
class IniIndex {
  public:
    explicit IniIndex(const QByteArray& text);
    // The value of a key (blanks around it removed); nothing when the section or key is
    // missing. Keys before the first section belong to no section; of sections or keys
    // of the same name, the first one counts.
    std::optional<QString> Value(const QString& section, const QString& key) const;

  private:
    struct Section {
        quint32 nameBegin, nameEnd;
    };
    struct Key {
        quint32 nameBegin, nameEnd;  // the key's name as written, blanks included
        quint32 equals, valueEnd;    // the "=" and the end of the line's content
        quint32 section;             // index in sections_
    };
    // Open-addressing tables of entry index + 1 (0: free), a power of two in size.
    using Slots = std::vector<quint32>;

    // Answers, per section, whether it is the first of its name.
    std::vector<bool> BuildSectionSlots();
    void BuildKeySlots(const std::vector<bool>& firstOfName);
    QByteArrayView Bytes(quint32 begin, quint32 end) const {
        return QByteArrayView(text_.constData() + begin, end - begin);
    }

    QByteArray text_;
    std::vector<Section> sections_;
    std::vector<Key> keys_;
    Slots sectionSlots_;
    Slots keySlots_;
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
