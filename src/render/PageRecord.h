// A composed page as it is kept in the page store: the painting operations drawn on it, with
// text kept as the shaped glyph runs that composition made (font, glyphs, positions, and the
// characters with their clusters). Playing a page never lays its text out again, and a PDF
// written from it still knows which characters every glyph stands for.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QSize>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/FontSubsets.h"

class QFontEngine;

namespace kavel {

// The fonts that the page records of one composition name by number. A recorded glyph run
// is only valid with the font engine that shaped it, so the table holds those engines for
// as long as any of its pages may be played.
class PageFonts {
  public:
    PageFonts() = default;
    ~PageFonts();
    PageFonts(const PageFonts&) = delete;
    PageFonts& operator=(const PageFonts&) = delete;

    // The number of a font and engine, added when new.
    quint32 Add(const QFont& font, QFontEngine* engine);
    struct Entry {
        QFont font;
        QFontEngine* engine = nullptr;
    };
    // Null for a number that was never given.
    const Entry* At(quint32 number) const;

    // Notes glyphs drawn with a font, so that output knows them before it draws them.
    void NoteGlyphs(quint32 number, const quint32* glyphs, int count);
    // The glyphs drawn so far, by font file.
    GlyphUse Glyphs() const;

  private:
    std::vector<Entry> entries_;
    std::vector<GlyphSet> glyphs_;  // by font number
    std::unordered_multimap<const QFontEngine*, quint32> byEngine_;
};

// A paint device that records what is drawn on it. Its metrics are those of the pages that
// composition lays out (the page size in pixels at the screen resolution of pictures).
class PageRecorder : public QPaintDevice {
  public:
    PageRecorder(QSize size, std::shared_ptr<PageFonts> fonts);
    ~PageRecorder() override;
    PageRecorder(const PageRecorder&) = delete;
    PageRecorder& operator=(const PageRecorder&) = delete;

    // The record of everything drawn; the painter on the device must have ended.
    QByteArray Record() const;
    QPaintEngine* paintEngine() const override;

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    class Engine;
    QSize size_;
    std::unique_ptr<Engine> engine_;
};

// Raises KavelError, saying why, when the bytes are not a sound page record of this format
// version (header, length and checksum).
void CheckPageRecord(const QByteArray& record);

// Draws a page record on the painter, in the painter's current coordinates and never outside
// its current clip. Raises KavelError for a record that is damaged or of another format
// version (both found by its header and checksum before anything is drawn), or that names a
// font the table does not hold.
void PlayPageRecord(QPainter& painter, const QByteArray& record, const PageFonts& fonts);

// One page read back from the store, with the fonts its glyph runs name.
struct RecordedPage {
    QByteArray record;
    std::shared_ptr<const PageFonts> fonts;
    void Play(QPainter& painter) const { PlayPageRecord(painter, record, *fonts); }
};

}  // namespace kavel
