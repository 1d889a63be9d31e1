// Values of the browser's computed style and of element attributes, read as text and turned
// into what the converted node tree stores. Callers hand automation values over as text.
// No routine raises: anything not understood gives the routine's default.
#pragma once

#include <QString>

#include "control/ItemTypes.h"
#include "platform/Color.h"

namespace kavel {

// Text-drawing flag values of the alignments.
constexpr int kAlignLeft = 0;
constexpr int kAlignCenter = 1;
constexpr int kAlignRight = 2;
constexpr int kAlignTop = 0;
constexpr int kAlignMiddle = 4;
constexpr int kAlignBottom = 8;

// A CSS length ("12px", "1in", "2cm", "10mm", "9pt", "1pc" or a bare integer) in device
// pixels of a canvas with `ppi` pixels per inch. Only integers are read; an empty value or
// one that does not convert gives `defaultValue`.
int LengthToPixels(const QString& value, int defaultValue, int ppi);

// A CSS font size in tenths of a point: keywords, HTML sizes "1".."7" and "-1".."-6"
// (relative to `baseSize`), absolute units, and "em", "%", "smaller", "larger" (relative to
// `parentSize`). Sizes are tenths of a point; anything not understood gives 120.
int FontSizeValue(const QString& value, int ppi, int baseSize, int parentSize);

// A CSS font weight: an integer as it is, "normal" 400, "bold" 600, "lighter" 200; else 400.
int FontWeightValue(const QString& value);

// Adds to `current` the styles that the value names (italic, oblique, strike, line-through,
// underline, bold). Never removes one.
TFontStyles FontStyleValue(const QString& value, TFontStyles current);

// The pen of a CSS border style: dashed, dotted, solid (and the pen names dashdot,
// dashdotdot, clear); anything else keeps `defaultStyle`.
TPenStyle PenStyleValue(const QString& value, TPenStyle defaultStyle);

// "left", "center", "right" as kAlignLeft/Center/Right; anything else `defaultValue`.
int HorzAlignValue(const QString& text, int defaultValue);
// "top", "middle", "bottom" as kAlignTop/Middle/Bottom; anything else `defaultValue`.
int VertAlignValue(const QString& text, int defaultValue);

// A colour keyword or system colour name as "#RRGGBB" (upper-case digits); texts with "#" or
// "rgb(" and unknown names come back unchanged.
QString ColorNameToHex(const QString& text);

// Colour text ("#RRGGBB", "#RGB", "rgb(r, g, b)", a name, or a decimal colour number in
// 0x00BBGGRR form) as a colour. Each component of the hash and rgb forms is multiplied by
// `factor` (0.5 darkens) and rounded half to even. Empty, "transparent" and anything not
// understood give `defaultColor`.
TColor ColorValue(const QString& value, TColor defaultColor, double factor = 1.0);

// The width in pixels of one border side from its computed width and style. `attributePixels`
// is the width the element's HTML border attribute asks for; `tag` is the element's tag name.
// Anything not understood gives `attributePixels`.
int BorderWidthValue(const QString& width, const QString& style, int attributePixels, int ppi,
                     const QString& tag);

}  // namespace kavel
