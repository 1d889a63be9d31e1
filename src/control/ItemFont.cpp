#include "control/ItemFont.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace kavel {

namespace {
// Beyond this a face cannot be shaped or drawn; larger sizes draw at this height.
constexpr int kMaxFontPixels = 32767;
}  // namespace

int FontPixelHeight(int pointSize, int ppi) {
    const double pixels = std::round(static_cast<double>(pointSize) * ppi / 72.0);
    const double limit = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(pixels, -limit, limit));
}

QFont::Weight FaceWeight(int weight) {
    return weight >= 600 ? QFont::Bold : QFont::Normal;
}

QFont ItemFont(const QString& name, int pointSize, TFontStyles style, int ppi) {
    // A blank family name would leave the font without a face: recorded pages cannot
    // store such a font.
    QFont font(name.trimmed().isEmpty() ? kDefaultFontName : name);
    font.setPixelSize(std::clamp(std::abs(FontPixelHeight(pointSize, ppi)), 1, kMaxFontPixels));
    font.setWeight(FaceWeight(style & fsBold ? 700 : 400));
    font.setItalic(style & fsItalic);
    font.setUnderline(style & fsUnderline);
    font.setStrikeOut(style & fsStrikeOut);
    return font;
}

}  // namespace kavel
