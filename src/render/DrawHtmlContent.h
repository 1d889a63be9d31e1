// Page drawing of converted HTML: documents in slices, tables row by row with their head and
// foot on every page.
#pragma once

#include "render/DrawPrintCanvasUnit.h"

namespace kavel {

class TPRNTrode;

// The item's share of this page, its top on the page being t; answers finished.
bool DrawHtmlDocument(TModiControl& item, const DrawContext& ctx, int t);
bool DrawHtmlTable(TModiControl& item, const DrawContext& ctx, int t);

// Forgets which rows and runs of a table were output (a new output, or a page rule that
// draws the table again).
void ClearMarks(TPRNTrode& node);

}  // namespace kavel
