// The font of a text item: one definition for breaking its lines and for drawing them,
// so that the words stand on the same lines at every pixel density.
#pragma once

#include <QFont>
#include <QString>

#include "control/ItemTypes.h"

namespace kavel {

inline const QString kDefaultFontName = QStringLiteral("宋体");

// The pixel height of a font of that many points at ppi pixels per inch, to the nearest
// pixel (negative for negative sizes).
int FontPixelHeight(int pointSize, int ppi);

// Weights below 600 take the regular face and 600 or more the bold one, as the printer's
// text output chooses between the two faces that office fonts ship.
QFont::Weight FaceWeight(int weight);

// The item's font at ppi: the named family (the default face when the name is blank), at
// least one pixel high, bold, italic, underline and strike-out from the style.
QFont ItemFont(const QString& name, int pointSize, TFontStyles style, int ppi);

}  // namespace kavel
