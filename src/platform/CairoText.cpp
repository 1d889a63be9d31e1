#include "platform/CairoText.h"

#include <cairo-ft.h>
#include <private/qfontengine_p.h>
#include <private/qtextengine_p.h>

#include <QString>
#include <mutex>

namespace kavel {

namespace {

// One FreeType library for the process: cairo may release a face after the document that
// made it, from its own cache of recently used fonts.
FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) made = nullptr;
        return made;
    }();
    return library;
}

const cairo_user_data_key_t kFaceKey{};

void DoneFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
}

}  // namespace

CairoFontFaces::~CairoFontFaces() {
    for (auto& [key, face] : faces_) {
        if (face) cairo_font_face_destroy(face);
    }
}

cairo_font_face_t* CairoFontFaces::FaceFor(QFontEngine& engine) {
    if (engine.type() != QFontEngine::Freetype) return nullptr;
    const QFontEngine::FaceId id = engine.faceId();
    if (id.filename.isEmpty()) return nullptr;
    // A synthesized slant is the text's matrix (CairoPaintEngine); emboldening needs the face.
    const int synthesized = engine.synthesized() & QFontEngine::SynthesizedBold;
    const Key key{id.filename, id.index, synthesized};
    const auto found = faces_.find(key);
    if (found != faces_.end()) return found->second;

    cairo_font_face_t* face = Shared(key);
    if (face) cairo_font_face_reference(face);
    faces_.emplace(key, face);
    return face;
}

cairo_font_face_t* CairoFontFaces::Shared(const Key& key) {
    static std::mutex lock;
    static std::map<Key, cairo_font_face_t*> shared;  // one reference each, for good
    std::lock_guard guard(lock);
    const auto found = shared.find(key);
    if (found != shared.end()) return found->second;
    FT_Face ftFace = nullptr;
    cairo_font_face_t* face = nullptr;
    if (Library() && FT_New_Face(Library(), key.file.constData(), key.index, &ftFace) == 0) {
        face = cairo_ft_font_face_create_for_ft_face(ftFace, FT_LOAD_NO_HINTING);
        // The FreeType face lives as long as cairo's face.
        if (cairo_font_face_set_user_data(face, &kFaceKey, ftFace, DoneFace) !=
            CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(face);
            FT_Done_Face(ftFace);
            face = nullptr;
        } else if (key.synthesized != 0) {
            cairo_ft_font_face_set_synthesize(face, CAIRO_FT_SYNTHESIZE_BOLD);
        }
    }
    shared.emplace(key, face);
    return face;
}

GlyphRun MakeGlyphRun(const QTextItemInt& item, QPointF origin) {
    const QGlyphLayout& layout = item.glyphs;
    const int count = layout.numGlyphs;
    GlyphRun run;
    run.glyphs.reserve(count);
    // Where each glyph of the layout lands in the printable list; -1 for glyphs not printed.
    std::vector<int> printed(count, -1);
    const bool rightToLeft = item.flags & QTextItem::RightToLeft;
    QFixed x = QFixed::fromReal(origin.x());
    const QFixed y = QFixed::fromReal(origin.y());
    if (rightToLeft) {
        for (int i = 0; i < count; ++i) {
            if (!layout.attributes[i].dontPrint) x += layout.effectiveAdvance(i);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (layout.attributes[i].dontPrint) continue;
        const QFixed advance = layout.effectiveAdvance(i);
        if (rightToLeft) x -= advance;
        printed[i] = int(run.glyphs.size());
        run.glyphs.push_back(cairo_glyph_t{layout.glyphs[i] & 0xffffff,
                                           (x + layout.offsets[i].x).toReal(),
                                           (y + layout.offsets[i].y).toReal()});
        if (!rightToLeft) x += advance;
    }

    if (item.chars == nullptr || item.logClusters == nullptr || item.num_chars <= 0) return run;
    // A piece of an item shaped with several fonts keeps the cluster numbers of the whole
    // item: they count from the piece's first glyph, which its first character names.
    const int base = item.logClusters[0];
    const QByteArray utf8 = QString::fromRawData(item.chars, item.num_chars).toUtf8();
    // A cluster is a run of characters that share their first glyph; its glyphs reach to the
    // next cluster's first glyph. Its bytes are counted as the UTF-8 encoder wrote them: a
    // surrogate pair is four bytes, a lone surrogate the three of its replacement.
    std::vector<cairo_text_cluster_t> clusters;
    int bytesTotal = 0;
    int start = 0;
    while (start < item.num_chars) {
        const int firstGlyph = item.logClusters[start] - base;
        int end = start + 1;
        while (end < item.num_chars && item.logClusters[end] - base == firstGlyph) ++end;
        const int nextGlyph = end < item.num_chars ? int(item.logClusters[end]) - base : count;
        if (firstGlyph < 0 || nextGlyph < firstGlyph || nextGlyph > count) return run;
        int glyphs = 0;
        for (int g = firstGlyph; g < nextGlyph; ++g) glyphs += printed[g] >= 0 ? 1 : 0;
        int bytes = 0;
        for (int i = start; i < end; ++i) {
            const char16_t c = item.chars[i].unicode();
            if (c < 0x80) {
                bytes += 1;
            } else if (c < 0x800) {
                bytes += 2;
            } else if (QChar::isHighSurrogate(c) && i + 1 < end &&
                       QChar::isLowSurrogate(item.chars[i + 1].unicode())) {
                bytes += 4;
                ++i;
            } else {
                bytes += 3;
            }
        }
        clusters.push_back(cairo_text_cluster_t{bytes, glyphs});
        bytesTotal += bytes;
        start = end;
    }
    // A pair split between clusters encodes otherwise than counted: the map does not fit.
    if (bytesTotal != utf8.size()) return run;
    run.utf8 = utf8;
    run.clusters = std::move(clusters);
    return run;
}

}  // namespace kavel
