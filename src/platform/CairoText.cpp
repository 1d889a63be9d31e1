#include "platform/CairoText.h"

#include <cairo-ft.h>
#include <private/qfontengine_p.h>
#include <private/qtextengine_p.h>

#include <QFileInfo>
#include <QString>
#include <algorithm>
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

// A FreeType face and the bytes it reads, for faces over fonts held in memory.
struct FaceData {
    FT_Face face = nullptr;
    QByteArray bytes;
};

void DoneFace(void* data) {
    auto* owned = static_cast<FaceData*>(data);
    FT_Done_Face(owned->face);
    delete owned;
}

// A cairo face over a FreeType face, which then lives as long as the cairo face; null (and
// the FreeType face done) when cairo cannot hold it.
cairo_font_face_t* CairoFace(std::unique_ptr<FaceData> data, bool emboldened) {
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(data->face, FT_LOAD_NO_HINTING);
    if (cairo_font_face_set_user_data(face, &kFaceKey, data.get(), DoneFace) !=
        CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face);
        FT_Done_Face(data->face);
        return nullptr;
    }
    data.release();
    if (emboldened) cairo_ft_font_face_set_synthesize(face, CAIRO_FT_SYNTHESIZE_BOLD);
    return face;
}

// Cutting a font costs more than it saves when the writer's own subsetting is cheap: for
// TrueType outlines it reads the glyphs it needs, for CFF outlines the whole table.
bool WorthCutting(const FontFile& font) {
    constexpr qint64 kSmallFont = 2 * 1024 * 1024;
    return QFileInfo(QString::fromLocal8Bit(font.file)).size() > kSmallFont;
}

// A font cut for one document holds that many glyphs at most together with the glyphs of
// the documents before it, so that a service printing similar documents cuts it once.
constexpr int kKeptGlyphs = 8192;

}  // namespace

CairoFontFaces::~CairoFontFaces() {
    for (auto& [font, face] : whole_) {
        if (face) cairo_font_face_destroy(face);
    }
    for (auto& [font, cut] : cut_) {
        if (cut.face) cairo_font_face_destroy(cut.face);
    }
}

void CairoFontFaces::Prepare(const GlyphUse& use) {
    for (const auto& [font, glyphs] : use) {
        if (cut_.count(font) || !WorthCutting(font)) continue;
        Face face = Cut(font, glyphs);
        if (face.face) cut_.emplace(font, face);
    }
}

cairo_font_face_t* CairoFontFaces::FaceFor(QFontEngine& engine, const GlyphRun& run) {
    const std::optional<FontFile> font = FontFileOf(engine);
    if (!font) return nullptr;
    const auto cut = cut_.find(*font);
    if (cut != cut_.end()) {
        const GlyphSet& held = *cut->second.glyphs;
        const bool holds = std::all_of(run.glyphs.begin(), run.glyphs.end(),
                                       [&](const cairo_glyph_t& g) { return held.Has(g.index); });
        if (holds) return cut->second.face;
    }
    const auto found = whole_.find(*font);
    if (found != whole_.end()) return found->second;
    cairo_font_face_t* face = Whole(*font);
    if (face) cairo_font_face_reference(face);
    whole_.emplace(*font, face);
    return face;
}

cairo_font_face_t* CairoFontFaces::Whole(const FontFile& font) {
    static std::mutex lock;
    static std::map<FontFile, cairo_font_face_t*> shared;  // one reference each, for good
    std::lock_guard guard(lock);
    const auto found = shared.find(font);
    if (found != shared.end()) return found->second;
    auto data = std::make_unique<FaceData>();
    cairo_font_face_t* face = nullptr;
    if (Library() && FT_New_Face(Library(), font.file.constData(), font.index, &data->face) == 0) {
        face = CairoFace(std::move(data), font.emboldened);
    }
    shared.emplace(font, face);
    return face;
}

CairoFontFaces::Face CairoFontFaces::Cut(const FontFile& font, const GlyphSet& glyphs) {
    static std::mutex lock;
    static std::map<FontFile, Face> shared;  // the last cut of each font, one reference each
    std::lock_guard guard(lock);
    Face& last = shared[font];
    if (last.glyphs && last.glyphs->Covers(glyphs)) {
        if (last.face) cairo_font_face_reference(last.face);
        return last;
    }
    auto kept = std::make_shared<GlyphSet>(glyphs);
    if (last.glyphs) {
        GlyphSet both = *last.glyphs;
        both.Unite(glyphs);
        if (both.Count() <= kKeptGlyphs) *kept = both;
    }
    auto data = std::make_unique<FaceData>();
    data->bytes = CutFont(font, *kept);
    Face made{nullptr, kept};
    if (!data->bytes.isEmpty() && Library() &&
        FT_New_Memory_Face(Library(), reinterpret_cast<const FT_Byte*>(data->bytes.constData()),
                           FT_Long(data->bytes.size()), 0, &data->face) == 0) {
        made.face = CairoFace(std::move(data), font.emboldened);
    }
    // A font that cannot be cut is not tried again for these glyphs: the whole one serves.
    if (last.face) cairo_font_face_destroy(last.face);
    last = made;
    if (made.face) cairo_font_face_reference(made.face);
    return made;
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

void ShowGlyphRun(cairo_t* context, const GlyphRun& run) {
    if (run.clusters.empty()) {
        cairo_show_glyphs(context, run.glyphs.data(), int(run.glyphs.size()));
    } else {
        cairo_show_text_glyphs(context, run.utf8.constData(), int(run.utf8.size()),
                               run.glyphs.data(), int(run.glyphs.size()), run.clusters.data(),
                               int(run.clusters.size()), cairo_text_cluster_flags_t(0));
    }
}

}  // namespace kavel
