#include "designer/PlacementText.h"

#include <cstdint>

#include "control/Units.h"

namespace kavel {

namespace {

QString OneValue(const char* name, int v, int ppi) {
    const int64_t mm = ppi == 0 ? 0 : int64_t{v} * 254 / (int64_t{ppi} * 10);
    return QStringLiteral("%1:%2px/%3mm  ")
        .arg(QLatin1String(name))
        .arg(ScaleToScript(v, ppi))
        .arg(mm);
}

}  // namespace

QString PositionText(int left, int top, int width, int height, int pixelsPerInch) {
    return OneValue("X", left, pixelsPerInch) + OneValue("Y", top, pixelsPerInch) +
           OneValue("W", width, pixelsPerInch) + OneValue("H", height, pixelsPerInch);
}

QString HeadFootCaption(TPRNHorzOrient horz, TPRNVertOrient vert, TPRNPageType pageType) {
    static const char16_t* const kBase[4][4] = {
        {u"左、上边距固定", u"左、下边距固定", u"左边距固定-垂直居中", u"左、上、下边距固定"},
        {u"右、上边距固定", u"右、下边距固定", u"右边距固定-垂直居中", u"右、上、下边距固定"},
        {u"水平居中-上边距固定", u"水平居中-下边距固定", u"水平居中-垂直居中",
         u"水平居中-上、下边距固定"},
        {u"左、右、上边距固定", u"左、右、下边距固定", u"左、右边距固定-垂直居中",
         u"左、右、上、下边距固定"},
    };
    QString text = QString::fromUtf16(kBase[horz & 3][vert & 3]);
    switch (pageType) {
        case cptPageNo:
            return text + QStringLiteral("-页号");
        case cptPageCount:
            return text + QStringLiteral("-页数");
        case cptMulPage:
            return text + QStringLiteral("-多页项");
        case cptHeadFoot:
            if (vert == cvnTop) return text + QStringLiteral("-页眉");
            if (vert == cvnBottom) return text + QStringLiteral("-页脚");
            return text + QStringLiteral("-眉脚");
        default:
            return text;
    }
}

}  // namespace kavel
