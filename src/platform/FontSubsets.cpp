#include "platform/FontSubsets.h"

#include <hb-subset.h>
#include <private/qfontengine_p.h>

#include <algorithm>
#include <memory>

namespace kavel {

namespace {

// The most glyph ids a font file can hold.
constexpr unsigned kGlyphLimit = 0x10000;

template <typename T, void (*Destroy)(T*)>
struct HbDeleter {
    void operator()(T* object) const { Destroy(object); }
};
using Blob = std::unique_ptr<hb_blob_t, HbDeleter<hb_blob_t, hb_blob_destroy>>;
using Face = std::unique_ptr<hb_face_t, HbDeleter<hb_face_t, hb_face_destroy>>;
using Input =
    std::unique_ptr<hb_subset_input_t, HbDeleter<hb_subset_input_t, hb_subset_input_destroy>>;

}  // namespace

std::optional<FontFile> FontFileOf(const QFontEngine& engine) {
    if (engine.type() != QFontEngine::Freetype) return std::nullopt;
    const QFontEngine::FaceId id = engine.faceId();
    if (id.filename.isEmpty()) return std::nullopt;
    // A synthesized slant is a matter of the text's matrix; emboldening needs the face.
    return FontFile{id.filename, id.index,
                    bool(engine.synthesized() & QFontEngine::SynthesizedBold)};
}

void GlyphSet::Add(const quint32* glyphs, int count) {
    for (int i = 0; i < count; ++i) {
        const quint32 glyph = glyphs[i] & 0xffffff;  // without the fallback font's number
        if (glyph >= kGlyphLimit) continue;
        if (glyph / 64 >= words_.size()) words_.resize(glyph / 64 + 1);
        words_[glyph / 64] |= quint64(1) << (glyph % 64);
    }
}

void GlyphSet::Unite(const GlyphSet& other) {
    if (words_.size() < other.words_.size()) words_.resize(other.words_.size());
    for (size_t word = 0; word < other.words_.size(); ++word) words_[word] |= other.words_[word];
}

bool GlyphSet::Covers(const GlyphSet& other) const {
    for (size_t word = 0; word < other.words_.size(); ++word) {
        const quint64 mine = word < words_.size() ? words_[word] : 0;
        if ((other.words_[word] & ~mine) != 0) return false;
    }
    return true;
}

int GlyphSet::Count() const {
    int count = 0;
    for (const quint64 word : words_) count += __builtin_popcountll(word);
    return count;
}

QByteArray CutFont(const FontFile& font, const GlyphSet& glyphs) {
    const Blob file(hb_blob_create_from_file_or_fail(font.file.constData()));
    if (!file) return {};
    const Face face(hb_face_create(file.get(), unsigned(font.index)));
    const Input input(hb_subset_input_create_or_fail());
    if (!face || !input) return {};
    hb_set_t* kept = hb_subset_input_glyph_set(input.get());
    glyphs.ForEach([kept](quint32 glyph) { hb_set_add(kept, glyph); });
    // Text is shaped already: the glyphs named are all there is to keep, without what the
    // layout tables would reach from them.
    hb_set_clear(hb_subset_input_set(input.get(), HB_SUBSET_SETS_LAYOUT_FEATURE_TAG));
    hb_set_t* dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* tag : {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "morx", "kerx", "kern"}) {
        hb_set_add(dropped, hb_tag_from_string(tag, 4));
    }
    hb_subset_input_set_flags(input.get(),
                              HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
    const Face cut(hb_subset_or_fail(face.get(), input.get()));
    if (!cut) return {};
    const Blob bytes(hb_face_reference_blob(cut.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(bytes.get(), &length);
    if (data == nullptr || length == 0) return {};
    return QByteArray(data, qsizetype(length));
}

}  // namespace kavel
