// Script pixels (96 per inch) and the control's pixels.
#pragma once

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
// Tenths of a millimetre to pixels: v × ppi ÷ 254, truncated toward zero.
constexpr int PaperToPixels(int v, int ppi) {
    return static_cast<int>(static_cast<int64_t>(v) * ppi / 254);
}

}  // namespace kavel
