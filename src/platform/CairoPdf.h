// A PDF document as a paint device: pages drawn with QPainter are written through cairo's
// PDF surface, with fonts embedded as subsets and every character's text kept, so text
// extracts and searches exactly (Chinese included).
#pragma once

#include <QIODevice>
#include <QMarginsF>
#include <QPaintDevice>
#include <QSizeF>
#include <QString>
#include <memory>

#include "platform/FontSubsets.h"

namespace kavel {

class CairoPaintEngine;
struct CairoPdfOutput;

struct CairoPdfSettings {
    QSizeF paperMM;       // the sheet, orientation applied
    QMarginsF marginsMM;  // from the sheet's edges to the printable area
    int dpi = 1200;       // painter units are device pixels at this resolution
    QString title;
    QString creator;
};

// Call order: construct on an open device, paint (QPainter::begin on it), NewPage between
// pages, end the painter, then Finish. The document is complete only when Finish answers
// true; the device is not closed. The painter's origin is the corner of the printable area;
// drawing outside it is kept (as on a sheet without clipping).
class CairoPdfDocument : public QPaintDevice {
  public:
    CairoPdfDocument(QIODevice* device, const CairoPdfSettings& settings);
    ~CairoPdfDocument() override;
    CairoPdfDocument(const CairoPdfDocument&) = delete;
    CairoPdfDocument& operator=(const CairoPdfDocument&) = delete;

    QPaintEngine* paintEngine() const override;

    // Takes the glyphs the document will draw, before they are drawn, so that fonts are
    // embedded from copies cut down to them (faster for large fonts; the pages are the same).
    // Glyphs not given still print.
    void UseGlyphs(const GlyphUse& use);
    // Ends the current page and starts the next one; painter state carries over.
    void NewPage();
    // Writes the rest of the document; false with Error() when any byte was not taken.
    // Later painting is refused.
    bool Finish();
    QString Error() const;

    // The printable area in device pixels.
    QSize PrintableSize() const { return printable_; }

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    CairoPdfSettings settings_;
    QSize printable_;
    std::unique_ptr<CairoPdfOutput> output_;
    std::unique_ptr<CairoPaintEngine> engine_;
};

}  // namespace kavel
