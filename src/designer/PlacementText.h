// The texts of the designer's status bar: where an item sits and how it is bound to the page.
#pragma once

#include <QString>

#include "control/ItemTypes.h"

namespace kavel {

// "X:120px/31mm  Y:..." for bounds in control pixels, in script pixels and millimetres
// (both truncated toward zero).
QString PositionText(int left, int top, int width, int height, int pixelsPerInch);

// The anchoring and page binding of an item ("水平居中-下边距固定-页脚").
QString HeadFootCaption(TPRNHorzOrient horz, TPRNVertOrient vert, TPRNPageType pageType);

}  // namespace kavel
