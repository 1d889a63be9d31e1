// The ini reader and writer and the settings store over one file. The input is split at
// NUL bytes: the file's text first, then (section, key, value) triples. For each triple:
// the one-off look-up agrees with the index; a value that may be stored reads back as
// written (blanks around it removed), writing it again changes nothing, every other
// value stays, and only the key's own line changes (or the lines added for it); the
// store writes the same text to its file and reads the same values back.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "platform/IniText.h"
#include "platform/SettingsStore.h"

namespace {

using namespace kavel;

constexpr int kMaxTriples = 16;
constexpr int kMaxStoreWrites = 4;  // file writes are slow; the first few triples go to the file

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_ini: %s\n", what);
    std::abort();
}

struct Triple {
    QString section, key, value;
};

QList<QByteArray> LinesOf(const QByteArray& text) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf('\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        lines.append(text.mid(start, next - start));
        start = next;
    }
    return lines;
}

// Names that may be in the text, found without the reader: what is between "[" and "]",
// and what stands before "=". Only used as probes, so a rough reading will do.
QList<std::pair<QString, QString>> Probes(const QByteArray& text, const Triple& written) {
    QList<std::pair<QString, QString>> probes{{written.section, written.key}};
    QString section;
    for (const QByteArray& line : LinesOf(text)) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            section = QString::fromUtf8(trimmed.mid(1, trimmed.indexOf(']') - 1));
            probes.append({section, written.key});
        } else if (line.contains('=')) {
            probes.append({section, QString::fromUtf8(line.left(line.indexOf('=')))});
            probes.append({written.section, QString::fromUtf8(line.left(line.indexOf('=')))});
        }
        if (probes.size() > 64) break;
    }
    return probes;
}

bool SameName(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Writing changes one line or adds the lines of the new key (and perhaps a section), and
// may end a last line that had no line break; every other line stays byte for byte.
void CheckLinesKept(const QByteArray& before, const QByteArray& after) {
    const QList<QByteArray> old = LinesOf(before);
    const QList<QByteArray> now = LinesOf(after);
    qsizetype head = 0;
    while (head < old.size() && head < now.size() && old[head] == now[head]) ++head;
    qsizetype tail = 0;
    while (tail < old.size() - head && tail < now.size() - head &&
           old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) {
        ++tail;
    }
    const qsizetype oldChanged = old.size() - head - tail;
    const qsizetype newChanged = now.size() - head - tail;
    Require(oldChanged <= 1 && newChanged <= 3, "writing one value changed other lines");
    if (oldChanged == 1 && newChanged >= 1) {
        const QByteArray& line = old[head];
        const QByteArray& changed = now[head];
        const bool ended = changed == line + '\n' || changed == line + "\r\n";
        const bool rewritten = newChanged == 1 && line.contains('=') &&
                               changed.startsWith(line.left(line.indexOf('=') + 1));
        Require(ended || rewritten, "writing one value damaged another line");
    }
}

void CheckText(const QByteArray& text, const Triple& t) {
    const IniIndex index(text);
    Require(IniValue(text, t.section, t.key) == index.Value(t.section, t.key),
            "a single look-up and the index disagree");
    if (!IniCanStore(t.section, t.key, t.value)) return;

    const QByteArray written = IniWithValue(text, t.section, t.key, t.value);
    const IniIndex after(written);
    Require(after.Value(t.section, t.key) == t.value.trimmed(),
            "a written value reads back changed");
    Require(IniWithValue(written, t.section, t.key, t.value) == written,
            "writing the same value again changed the text");
    for (const auto& [section, key] : Probes(text, t)) {
        if (SameName(section, t.section) && SameName(key, t.key)) continue;
        Require(after.Value(section, key) == index.Value(section, key),
                "writing one value changed another");
    }
    CheckLinesKept(text, written);
}

QByteArray FileText(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every triple in turn, each written into the text the ones before left. The first few go
// to a file that starts with the text, through two stores as two controls would hold
// them: one writes, the other must read what the reader reads in the file's text, also
// after writes that it did not see (the length of a triple's value decides whether the
// value is read before and after it is written).
void CheckWrites(const QString& fileName, const QByteArray& text, const QList<Triple>& triples) {
    QFile::remove(fileName);
    {
        QFile file(fileName);
        Require(file.open(QIODevice::WriteOnly), "cannot write the scratch file");
        file.write(text);
    }
    const SettingsStore reader(fileName);
    SettingsStore writer(fileName);
    QByteArray expected = text;
    for (qsizetype i = 0; i < triples.size(); ++i) {
        const Triple& t = triples[i];
        CheckText(expected, t);
        const bool storable = IniCanStore(t.section, t.key, t.value);
        if (i >= kMaxStoreWrites) {
            if (storable) expected = IniWithValue(expected, t.section, t.key, t.value);
            continue;
        }
        if (t.value.size() % 2 == 0) {
            Require(
                reader.Read(t.section, t.key) == IniValue(expected, t.section, t.key).value_or(""),
                "the store reads another value than the file holds");
        }
        Require(writer.Write(t.section, t.key, t.value) == storable,
                "the store's answer to a write is wrong");
        if (storable) expected = IniWithValue(expected, t.section, t.key, t.value);
        Require(FileText(fileName) == expected, "the store wrote another text");
        if (t.value.size() / 2 % 2 == 0) {
            Require(
                reader.Read(t.section, t.key) == IniValue(expected, t.section, t.key).value_or(""),
                "the store reads back another value than was written");
        }
    }
}

// Removed with the file in it when the process ends.
QString ScratchFile() {
    static const QTemporaryDir folder(QDir::tempPath() + "/kavel-fuzz-ini-XXXXXX");
    return folder.filePath("settings.ini");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0');
    const QByteArray text = parts[0];
    QList<Triple> triples;
    for (qsizetype i = 1; i < parts.size() && triples.size() < kMaxTriples; i += 3) {
        triples.append({QString::fromUtf8(parts[i]), QString::fromUtf8(parts.value(i + 1)),
                        QString::fromUtf8(parts.value(i + 2))});
    }
    CheckWrites(ScratchFile(), text, triples);
    return 0;
}
