// Script pixels (96 per inch) and the control's pixels.
#pragma once

#include <algorithm>
#include <cstdint>

namespace kavel {

// v × ppi ÷ 96 in 64 bits, truncated toward zero.
constexpr int ScaleToScreen(int v, int ppi) {
    return static_cast<int>(static_cast<int64_t>(v) * ppi / 96);
}
// v × 96 ÷ ppi, truncated toward zero; the value itself when ppi is 0.
constexpr int ScaleToScript(int v, int ppi) {
    return ppi == 0 ? v : static_cast<int>(static_cast<int64_t>(v) * 96 / ppi);
}
// A 64-bit result brought into the 32-bit range.
constexpr int ClampToInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// What script may give. Beyond these no paper has room, and sums of such values stay far
// from the limits of 32-bit arithmetic at any pixel density.
constexpr int kMaxScriptCoordinate = 100000;  // positions and sizes, both signs (26 m)
constexpr int kMaxPenWidth = 1000;            // pixels; 0 is the thinnest line
constexpr int kMaxFontSize = 1000;            // points, both signs
constexpr int kMinPaperSize = 50;             // tenths of a millimetre (5 mm) ...
constexpr int kMaxPaperSize = 100000;         // ... to 10 m

// Tenths of a millimetre to pixels: v × ppi ÷ 254, truncated toward zero.
constexpr int PaperToPixels(int v, int ppi) {
    return static_cast<int>(static_cast<int64_t>(v) * ppi / 254);
}

}  // namespace kavel
