// The glyphs a document draws from each font file, gathered before the document is written,
// and fonts cut down to them. A PDF embeds only the glyphs it uses; cutting a large font
// (a CJK collection of 20 MB) from the glyphs known in advance is far cheaper than letting
// the PDF writer read the whole font to find them.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

class QFontEngine;

namespace kavel {

// A font as a file holds it: the file, the face's index in a collection, and whether it is
// emboldened by synthesis (which needs a face of its own).
struct FontFile {
    QByteArray file;
    int index = 0;
    bool emboldened = false;
    bool operator<(const FontFile& other) const {
        return std::tie(file, index, emboldened) <
               std::tie(other.file, other.index, other.emboldened);
    }
};

// The font file behind a font engine; none for engines that name no file (fonts loaded from
// memory, engines of other kinds than FreeType).
std::optional<FontFile> FontFileOf(const QFontEngine& engine);

// Glyph ids of one font. Ids beyond what a font file can hold (65,535) are never in it.
class GlyphSet {
  public:
    // Adds glyph ids as Qt's text items give them (a fallback font's number in the top byte).
    void Add(const quint32* glyphs, int count);
    bool Has(quint32 glyph) const {
        return glyph / 64 < words_.size() && (words_[glyph / 64] >> (glyph % 64) & 1);
    }
    void Unite(const GlyphSet& other);
    bool Covers(const GlyphSet& other) const;
    int Count() const;
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (size_t word = 0; word < words_.size(); ++word) {
            for (quint64 bits = words_[word]; bits != 0; bits &= bits - 1) {
                visit(quint32(word * 64 + quint32(__builtin_ctzll(bits))));
            }
        }
    }

  private:
    std::vector<quint64> words_;
};

// The glyphs of a document by font file.
using GlyphUse = std::map<FontFile, GlyphSet>;

// The font cut down to the glyphs (and the glyph 0 every font keeps), with every glyph keeping
// its id, so that glyphs shaped with the whole font draw from the cut one. Empty when the
// file cannot be read or cut.
QByteArray CutFont(const FontFile& font, const GlyphSet& glyphs);

}  // namespace kavel
