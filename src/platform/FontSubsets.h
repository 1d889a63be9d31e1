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

// Glyph ids used, as a set indexed by glyph id.
using GlyphSet = std::vector<bool>;
// Adds glyph ids to a set; ids beyond what a font file can hold (65,535) are not kept.
void AddGlyphs(GlyphSet& set, const quint32* glyphs, int count);
// Whether every glyph of `glyphs` is in `set`.
bool Covers(const GlyphSet& set, const GlyphSet& glyphs);

// The glyphs of a document by font file.
using GlyphUse = std::map<FontFile, GlyphSet>;

// The font cut down to the glyphs (and the glyph 0 every font keeps), with every glyph keeping
// its id, so that glyphs shaped with the whole font draw from the cut one. Empty when the
// file cannot be read or cut.
QByteArray CutFont(const FontFile& font, const GlyphSet& glyphs);

}  // namespace kavel
