// The designer's tools as plain operations on the selected items: moving and sizing,
// fonts, colours, pens, alignment and image fitting, arranging several items, going back
// to what script gave, and binding items to the page. Each operation skips the items it
// does not fit, marks every item it applies to as modified (so that applying stores it)
// and answers those items, for the window to show them again.
#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include "control/ModiControls.h"

namespace kavel {

using ItemList = QList<TModiControl*>;

// ---- Bounds (control pixels) ------------------------------------------------------------
ItemList MoveItems(const ItemList& items, int dx, int dy);
ItemList ResizeItems(const ItemList& items, int dWidth, int dHeight);
ItemList SetItemsWidth(const ItemList& items, int width);
ItemList SetItemsHeight(const ItemList& items, int height);

// Which of the arrow keys' moves a key press asks for: Ctrl moves by 1, Ctrl+Alt by 10,
// Alt sizes by 5; without Ctrl or Alt nothing. dx/dy move, dWidth/dHeight size.
struct KeyStep {
    int dx = 0, dy = 0, dWidth = 0, dHeight = 0;
    bool Any() const { return dx || dy || dWidth || dHeight; }
};
KeyStep ArrowKeyStep(int key, bool ctrl, bool alt);

// ---- Arranging -------------------------------------------------------------------------
enum class Arrangement {
    AlignLeft,
    AlignRight,
    CenterHorizontally,
    SpaceHorizontally,
    AlignTop,
    AlignBottom,
    CenterVertically,
    SpaceVertically,
    SmallestWidth,
    LargestWidth,
    AverageWidth,
    SmallestHeight,
    LargestHeight,
    AverageHeight,
};
// items: in selection order; paper: the paper's size, where the smallest values start.
ItemList Arrange(const ItemList& items, Arrangement how, QSize paper);

// ---- Styles ----------------------------------------------------------------------------
// Text: font size; shape: pen width.
ItemList StepFontSize(const ItemList& items, int delta);
ItemList SetFontSize(const ItemList& items, int size);
ItemList SetFontName(const ItemList& items, const QString& name);
// Text: font colour; shape: pen colour.
ItemList SetItemsColor(const ItemList& items, TColor color);
// Text items: each item's own bit is toggled.
ItemList ToggleFontStyle(const ItemList& items, TFontStyles bit);
ItemList StepAngle(const ItemList& items, int delta);
ItemList SetAngle(const ItemList& items, int angle);
// The three alignment buttons: left, centre, right for text; crop, stretch, proportional
// for pictures.
enum class AlignButton { Left, Center, Right };
ItemList SetAlignButton(const ItemList& items, AlignButton button);
// Shapes: pen style 0..4; any style but solid also makes the pen 1 pixel wide.
ItemList SetPenStyle(const ItemList& items, int style);

// ---- Back to what script gave -----------------------------------------------------------
ItemList RestorePosition(const ItemList& items);
ItemList RestoreSize(const ItemList& items);
// Text: font, colour, size, style, alignment and height; shape: shape, pen width, style
// and colour.
ItemList RestoreFont(const ItemList& items);

// ---- Page binding ------------------------------------------------------------------------
ItemList SetHeadFoot(const ItemList& items, TPRNHorzOrient horz, TPRNVertOrient vert);
ItemList SetHorzLock(const ItemList& items, TPRNHorzOrient horz);
ItemList SetVertLock(const ItemList& items, TPRNVertOrient vert);
// Page number and page count fit text items only; refused counts the others.
ItemList SetPageType(const ItemList& items, TPRNPageType type, int* refused = nullptr);

// Items bound to a page position (header, footer, page number, page count) are shown on
// silver, the others on their usual background.
void MarkHeadFoot(TModiControl* item);

}  // namespace kavel
