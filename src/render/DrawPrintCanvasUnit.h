// Drawing one item's share of a page, and the placement rules of page composition.
#pragma once

#include <QPainter>
#include <QString>

#include "control/ItemTypes.h"
#include "control/ModiControls.h"

namespace kavel {

// What every drawing routine receives besides the item.
struct DrawContext {
    QPainter* canvas = nullptr;  // null while only measuring before the first page
    int page = 1;                // p
    int pageHeight = 0;          // H, pixels
    int total = 0;               // T, the page total (0 when not counted)
    bool draw = true;            // false: measure only, advance but paint nothing
    int ppi = 96;                // pixels per inch of the recorded page (font sizes)
};

// Text output: plain when angle and weight increase are 0, otherwise through a font
// created with the escapement and the weight raised (at least 100). (x, y) is the top
// left of the text.
void DrawTextAngled(QPainter& canvas, int x, int y, const QString& text, int angle,
                    int weightIncrease);
// Offset of a text within a width for an alignment; 0 without a canvas.
int AlignOffset(QPainter* canvas, const QString& text, TAlignment alignment, int width);
// The canvas font of a text item (ItemFont) and its colour.
void SetCanvasFont(QPainter& canvas, const QString& name, int pointSize, TFontStyles style,
                   TColor color, int ppi);

// A picture's size in the control's pixels, and a part of it drawn into a rectangle:
// pictures from the browser have more pixels than the control, as their pixel ratio says.
QSize ControlSize(const QImage& picture);
void DrawPart(QPainter& canvas, const QRect& dest, const QImage& picture, const QRect& source);

// The text of a page-number or page-count item on page p of total T.
QString PageNumberText(const QString& text, TPRNPageType type, int page, int total);

// Computes the item's print rectangle for a W × H page.
void PlaceItem(TModiControl& item, const TModiControl& pageObject, int W, int H);
// 0 no rule, 1 this page, 2 not this page.
int PageIndexMatch(const QString& rule, int total, int page);
// Draws (or measures) the item's share of the current page; answers finished.
bool DrawItem(TModiControl& item, const DrawContext& ctx);
// The first page on which DrawItem can draw or finish the item (placed for pages of
// pageHeight): on the pages before it, DrawItem changes nothing and answers false.
// INT_MAX: no page ever reaches it. Kept in step with DrawItem: an earlier page is
// harmless, a later one would skip drawing, so a kind that acts before the reach test
// answers 1.
int FirstPageOf(const TModiControl& item, int pageHeight);

}  // namespace kavel
