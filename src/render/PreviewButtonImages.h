// The images of the preview window's buttons, drawn rather than loaded.
#pragma once

#include <QIcon>

namespace kavel {

enum class Glyph {
    FitHeight,
    Normal,
    FitWidth,
    ZoomIn,
    ZoomOut,
    First,
    Prior,
    Next,
    Last,
    Setup,
    Print,
    Quit
};

// The button image of one glyph.
QIcon GlyphIcon(Glyph glyph);

}  // namespace kavel
