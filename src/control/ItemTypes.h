// The item kinds and placement enumerations of a print task, one byte each.
#pragma once

#include <cstdint>

namespace kavel {

enum TPRNDataType : uint8_t {
    cdtPanel = 0,  // the page object
    cdtHtml = 1,
    cdtText = 2,
    cdtShape = 3,
    cdtHtmText = 4,
    cdtUrl = 5,
    cdtTable = 6,
    cdtTBUrl = 7,
    cdtImage = 8,
};

enum TPRNPageType : uint8_t {
    cptPageData = 0,
    cptHeadFoot = 1,
    cptPageNo = 2,
    cptPageCount = 3,
    cptMulPage = 4,
};

enum TPRNHorzOrient : uint8_t { chnLeft = 0, chnRight = 1, chnCenter = 2, chnClient = 3 };
enum TPRNVertOrient : uint8_t { cvnTop = 0, cvnBottom = 1, cvnCenter = 2, cvnClient = 3 };

enum TPRNShapeType : uint8_t {
    cstUpLine = 0,
    cstDownLine = 1,
    cstRect = 2,
    cstEllipse = 3,
    cstSolidRect = 4,
    cstSolidEllipse = 5,
};

enum TPRNImgMode : uint8_t { cstCrop = 0, cstStretch = 1, cstProport = 2 };

// Text alignment of an item: 0 left, 1 right, 2 centre.
enum TAlignment : uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// Font style set: one bit each.
using TFontStyles = uint8_t;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;

// Pen styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot (5 clear for borders).
enum TPenStyle : uint8_t {
    psSolid = 0,
    psDash = 1,
    psDot = 2,
    psDashDot = 3,
    psDashDotDot = 4,
    psClear = 5
};

constexpr bool IsImageKind(TPRNDataType t) {
    return t == cdtHtml || (t >= cdtHtmText && t <= cdtImage);
}
constexpr bool IsFixedPageType(TPRNPageType t) {
    return t == cptHeadFoot || t == cptPageNo || t == cptPageCount;
}

}  // namespace kavel
