#include "platform/IniText.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <limits>

namespace kavel {

namespace {

const QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Offsets of [begin, end) without the blanks around them.
void Trim(const char* text, qsizetype& begin, qsizetype& end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
}

// One line of the text and what it says, as offsets into the text.
struct IniLine {
    enum Kind { Other, Section, Key };
    Kind kind = Other;
    qsizetype contentBegin = 0;            // after a byte-order mark on the first line
    qsizetype contentEnd = 0;              // before the line break
    qsizetype next = 0;                    // the following line's first byte
    qsizetype nameBegin = 0, nameEnd = 0;  // section or key name as written, blanks included
    qsizetype equals = 0;                  // key lines: the "="
    bool blank = true;                     // nothing but blanks
};

// Walks the lines of a text once, front to back.
class IniLines {
  public:
    explicit IniLines(QByteArrayView text) : text_(text) {}

    bool Next(IniLine& line) {
        if (start_ >= text_.size()) return false;
        const char* bytes = text_.data();
        const qsizetype breakAt = text_.indexOf('\n', start_);
        line = IniLine{};
        line.next = breakAt < 0 ? text_.size() : breakAt + 1;
        line.contentBegin = start_;
        line.contentEnd = breakAt < 0 ? text_.size() : breakAt;
        while (line.contentEnd > start_ && bytes[line.contentEnd - 1] == '\r') --line.contentEnd;
        if (start_ == 0 && text_.first(line.contentEnd).startsWith(kByteOrderMark)) {
            line.contentBegin = kByteOrderMark.size();
        }
        start_ = line.next;

        qsizetype begin = line.contentBegin;
        qsizetype end = line.contentEnd;
        Trim(bytes, begin, end);
        line.blank = begin == end;
        if (line.blank) return true;
        if (bytes[begin] == '[') {
            const qsizetype close = text_.sliced(begin, end - begin).indexOf(']');
            line.kind = IniLine::Section;
            line.nameBegin = begin + 1;
            line.nameEnd = close < 0 ? end : begin + close;
        } else if (bytes[begin] != ';' && bytes[begin] != '#') {
            const qsizetype equals =
                text_.sliced(line.contentBegin, line.contentEnd - line.contentBegin).indexOf('=');
            if (equals >= 0) {
                line.kind = IniLine::Key;
                line.equals = line.contentBegin + equals;
                line.nameBegin = line.contentBegin;
                line.nameEnd = line.equals;
            }
        }
        return true;
    }

  private:
    QByteArrayView text_;
    qsizetype start_ = 0;
};

// Names compare as QString does without regard to case: decoded as written, blanks around
// them removed, case-folded UTF-16. ASCII names, nearly all of them, are compared without making a
// QString.
bool IsAscii(QByteArrayView name) {
    for (char c : name) {
        if (static_cast<uchar>(c) >= 0x80) return false;
    }
    return true;
}

char16_t AsciiFolded(char c) {
    return static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

QByteArrayView AsciiTrimmed(QByteArrayView name) {
    qsizetype begin = 0, end = name.size();
    Trim(name.data(), begin, end);
    return name.sliced(begin, end - begin);
}

// UTF-8 as written: a name or value that starts with U+FEFF keeps it (Qt's plain decoding
// drops a leading byte-order mark, and the name would no longer match what was written).
QString Decoded(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString Folded(QByteArrayView name) {
    return Decoded(name).trimmed().toCaseFolded();
}

constexpr quint32 kHashStart = 2166136261u;

quint32 HashStep(quint32 hash, char16_t unit) {
    return (hash ^ unit) * 16777619u;
}

quint32 FoldedHash(QStringView folded) {
    quint32 hash = kHashStart;
    for (QChar c : folded) hash = HashStep(hash, c.unicode());
    return hash;
}

quint32 NameHash(QByteArrayView name) {
    if (!IsAscii(name)) return FoldedHash(Folded(name));
    quint32 hash = kHashStart;
    for (char c : AsciiTrimmed(name)) hash = HashStep(hash, AsciiFolded(c));
    return hash;
}

bool SameName(QByteArrayView name, QStringView folded) {
    if (!IsAscii(name)) return Folded(name) == folded;
    name = AsciiTrimmed(name);
    if (name.size() != folded.size()) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (AsciiFolded(name[i]) != folded[i].unicode()) return false;
    }
    return true;
}

bool SameNames(QByteArrayView a, QByteArrayView b) {
    if (IsAscii(a) && IsAscii(b)) {
        a = AsciiTrimmed(a);
        b = AsciiTrimmed(b);
        return a.size() == b.size() && qstrnicmp(a.data(), a.size(), b.data(), b.size()) == 0;
    }
    return Folded(a) == Folded(b);
}

quint32 KeyHash(quint32 section, quint32 nameHash) {
    return nameHash ^ (section * 0x9E3779B1u);
}

std::vector<quint32> EmptySlots(size_t entries) {
    size_t size = 8;
    while (size < entries * 2) size *= 2;
    return std::vector<quint32>(size, 0);
}

// Probes from the hash until `same` accepts an entry (answered) or a free slot is met
// (answered as the free slot, entry 0).
template <typename Same>
std::pair<size_t, quint32> Probe(const std::vector<quint32>& table, quint32 hash, Same same) {
    // The final mix of MurmurHash3 spreads names that differ in their last bytes.
    hash ^= hash >> 16;
    hash *= 0x85EBCA6Bu;
    hash ^= hash >> 13;
    hash *= 0xC2B2AE35u;
    hash ^= hash >> 16;
    const size_t mask = table.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const quint32 entry = table[at];
        if (entry == 0 || same(entry - 1)) return {at, entry};
    }
}

bool HasLineBreak(const QString& text) {
    return text.contains('\n') || text.contains('\r');
}

}  // namespace

IniIndex::IniIndex(const QByteArray& text) : text_(text) {
    // Offsets are 32 bits; what lies beyond is not indexed.
    const QByteArrayView indexed = QByteArrayView(text_).first(
        std::min<qsizetype>(text_.size(), std::numeric_limits<quint32>::max()));
    IniLines lines(indexed);
    IniLine line;
    bool inSection = false;
    while (lines.Next(line)) {
        if (line.kind == IniLine::Section) {
            sections_.push_back(
                {static_cast<quint32>(line.nameBegin), static_cast<quint32>(line.nameEnd)});
            inSection = true;
        } else if (line.kind == IniLine::Key && inSection) {
            keys_.push_back({static_cast<quint32>(line.nameBegin),
                             static_cast<quint32>(line.nameEnd), static_cast<quint32>(line.equals),
                             static_cast<quint32>(line.contentEnd),
                             static_cast<quint32>(sections_.size() - 1)});
        }
    }
    BuildKeySlots(BuildSectionSlots());
}

std::vector<bool> IniIndex::BuildSectionSlots() {
    sectionSlots_ = EmptySlots(sections_.size());
    std::vector<bool> firstOfName(sections_.size(), false);
    for (quint32 i = 0; i < sections_.size(); ++i) {
        const QByteArrayView name = Bytes(sections_[i].nameBegin, sections_[i].nameEnd);
        const auto [at, found] = Probe(sectionSlots_, NameHash(name), [&](quint32 other) {
            const Section& s = sections_[other];
            return SameNames(name, Bytes(s.nameBegin, s.nameEnd));
        });
        if (found == 0) {
            sectionSlots_[at] = i + 1;  // the first section of a name counts
            firstOfName[i] = true;
        }
    }
    return firstOfName;
}

void IniIndex::BuildKeySlots(const std::vector<bool>& firstOfName) {
    keySlots_ = EmptySlots(keys_.size());
    for (quint32 i = 0; i < keys_.size(); ++i) {
        const Key& key = keys_[i];
        // Keys of a later section of the same name are never found.
        if (!firstOfName[key.section]) continue;
        const QByteArrayView name = Bytes(key.nameBegin, key.nameEnd);
        const auto [at, found] =
            Probe(keySlots_, KeyHash(key.section, NameHash(name)), [&](quint32 other) {
                const Key& k = keys_[other];
                return k.section == key.section && SameNames(name, Bytes(k.nameBegin, k.nameEnd));
            });
        if (found == 0) keySlots_[at] = i + 1;  // the first key of a name counts
    }
}

std::optional<QString> IniIndex::Value(const QString& section, const QString& key) const {
    const QString sectionName = section.trimmed().toCaseFolded();
    const auto [sectionAt, sectionEntry] =
        Probe(sectionSlots_, FoldedHash(sectionName), [&](quint32 other) {
            const Section& s = sections_[other];
            return SameName(Bytes(s.nameBegin, s.nameEnd), sectionName);
        });
    if (sectionEntry == 0) return std::nullopt;
    const quint32 sectionIndex = sectionEntry - 1;

    const QString keyName = key.trimmed().toCaseFolded();
    const auto [keyAt, keyEntry] =
        Probe(keySlots_, KeyHash(sectionIndex, FoldedHash(keyName)), [&](quint32 other) {
            const Key& k = keys_[other];
            return k.section == sectionIndex && SameName(Bytes(k.nameBegin, k.nameEnd), keyName);
        });
    if (keyEntry == 0) return std::nullopt;
    const Key& found = keys_[keyEntry - 1];
    return Decoded(Bytes(found.equals + 1, found.valueEnd)).trimmed();
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
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    const QString sectionName = wantedSection.toCaseFolded();
    const QString keyName = wantedKey.toCaseFolded();
    const qsizetype firstBreak = text.indexOf('\n');
    const QByteArray lineBreak =
        firstBreak > 0 && text[firstBreak - 1] == '\r' ? QByteArray("\r\n") : QByteArray("\n");
    const QByteArray newKeyLine = wantedKey.toUtf8() + '=' + value.toUtf8() + lineBreak;
    const auto nameOf = [&text](const IniLine& line) {
        return QByteArrayView(text.constData() + line.nameBegin, line.nameEnd - line.nameBegin);
    };

    IniLines lines(text);
    IniLine line;
    bool found = false;
    qsizetype lastNext = 0;  // after the section's last line that is not blank
    while (lines.Next(line)) {
        if (!found) {
            if (line.kind == IniLine::Section && SameName(nameOf(line), sectionName)) {
                found = true;
                lastNext = line.next;
            }
            continue;
        }
        if (line.kind == IniLine::Section) break;
        if (line.kind == IniLine::Key && SameName(nameOf(line), keyName)) {
            // The key keeps its spelling and spacing; the value and the line break follow.
            QByteArray result;
            result.reserve(text.size() + value.size() * 3);
            result.append(text.constData(), line.equals + 1);
            result.append(value.toUtf8());
            result.append(text.constData() + line.contentEnd, text.size() - line.contentEnd);
            return result;
        }
        if (!line.blank) {
            lastNext = line.next;
        }
    }

    QByteArray result;
    if (!found) {
        result = text;
        if (!result.isEmpty() && !result.endsWith('\n')) result += lineBreak;
        return result + '[' + wantedSection.toUtf8() + ']' + lineBreak + newKeyLine;
    }
    // A last line without a line break gets one before the new line follows it.
    const bool ended = text[lastNext - 1] == '\n';
    result.reserve(text.size() + newKeyLine.size() + lineBreak.size());
    result.append(text.constData(), lastNext);
    if (!ended) result.append(lineBreak);
    result.append(newKeyLine);
    result.append(text.constData() + lastNext, text.size() - lastNext);
    return result;
}

}  // namespace kavel
