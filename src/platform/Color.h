// Colours as the control stores them: 32-bit values 0x00BBGGRR (red in the low byte).
#pragma once

#include <QColor>
#include <cstdint>

namespace kavel {

using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;

constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(TColor c) {
    return c & 0xFF;
}
constexpr int GreenOf(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr int BlueOf(TColor c) {
    return (c >> 16) & 0xFF;
}

inline QColor ToQColor(TColor c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
inline TColor FromQColor(const QColor& c) {
    return RGBColor(c.red(), c.green(), c.blue());
}

// The system button-face colour (the skin and panel colour of the forms).
TColor ButtonFaceColor();

}  // namespace kavel
