// Which texts need shaping when they are laid out and drawn.
#pragma once

#include <QString>

namespace kavel {

// Scripts whose letters change shape with their neighbours. Everything else is laid out
// and drawn glyph by glyph from the font's own map: shaping would swap the digits of the
// CJK faces for local variants that documents then cannot give back as text.
inline bool TextNeedsShaping(const QString& text) {
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u >= 0x0300 && u <= 0x036F) || (u >= 0x0590 && u <= 0x1DFF) ||
            (u >= 0xA800 && u <= 0xABFF) || (u >= 0xFB1D && u <= 0xFDFF) ||
            (u >= 0xFE70 && u <= 0xFEFF) || c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

}  // namespace kavel
