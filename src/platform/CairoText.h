// Text for the PDF paint engine: cairo font faces for Qt's font engines, and the glyphs of
// a shaped text item with the characters each cluster of glyphs stands for. Not for use
// elsewhere.
#pragma once

#include <cairo.h>

#include <QByteArray>
#include <QPointF>
#include <map>
#include <memory>
#include <vector>

#include "platform/FontSubsets.h"

class QFontEngine;
class QTextItemInt;

namespace kavel {

struct GlyphRun;

// Cairo faces over the font files that Qt's FreeType engines use, one per file, face index
// and synthesized style, kept for the document's life so each font is embedded once. The
// faces themselves are made once per process: cairo keeps recently used fonts after a
// document ends, and a face opened anew for every document would stay in that cache with
// all its tables (tens of MB for a CJK font) each time.
class CairoFontFaces {
  public:
    CairoFontFaces() = default;
    ~CairoFontFaces();
    CairoFontFaces(const CairoFontFaces&) = delete;
    CairoFontFaces& operator=(const CairoFontFaces&) = delete;

    // Takes the glyphs the document will draw: their runs then draw from fonts cut down to
    // them, which the writer embeds without reading the whole font. Call before drawing.
    void Prepare(const GlyphUse& use);

    // The face for the engine's font that holds the run's glyphs; null when the engine
    // names no font file that FreeType can open (fonts loaded from memory, engines of other
    // kinds).
    cairo_font_face_t* FaceFor(QFontEngine& engine, const GlyphRun& run);

  private:
    struct Face {
        cairo_font_face_t* face = nullptr;
        std::shared_ptr<const GlyphSet> glyphs;  // those a cut face holds
    };
    static cairo_font_face_t* Whole(const FontFile& font);
    static Face Cut(const FontFile& font, const GlyphSet& glyphs);
    std::map<FontFile, cairo_font_face_t*> whole_;
    std::map<FontFile, Face> cut_;
};

// The printable glyphs of an item at their positions (item coordinates, `origin` being the
// start of its baseline), with the item's characters as UTF-8 and the clusters that tie
// them together. Clusters are empty when the item carries no characters or its cluster map
// does not fit its glyphs; the glyphs then stand alone.
struct GlyphRun {
    std::vector<cairo_glyph_t> glyphs;
    QByteArray utf8;
    std::vector<cairo_text_cluster_t> clusters;
};
GlyphRun MakeGlyphRun(const QTextItemInt& item, QPointF origin);
// Shows the run in the context's font and source, with its characters where it has them.
void ShowGlyphRun(cairo_t* context, const GlyphRun& run);

}  // namespace kavel
