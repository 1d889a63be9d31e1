// The browser's computed values turned into the forms that the CSS and colour routines of
// the HTML conversion read (see LaidOutDocument.h for the list), and the names by which
// callers ask for them.
#pragma once

#include <QString>

namespace kavel {

// A computed value of `property` (a CSS name) as the conversion expects it. `rightToLeft`
// is the element's direction, which decides where "start" and "end" lie.
QString MapComputedValue(const QString& property, const QString& value, bool rightToLeft);

// A colour as "rgb(r, g, b)": alpha 0 gives "transparent", partial alpha is blended over
// white. Forms that are not rgb()/rgba() are returned unchanged.
QString MapComputedColor(const QString& value);

// A CSS property name for a CSS name or a style-object name: "fontSize" gives "font-size",
// "textDecoration" gives "text-decoration-line" (the part the browser computes).
QString CssPropertyName(const QString& name);

}  // namespace kavel
