#include "platform/PaperSizes.h"

#include <QCoreApplication>

#include <array>
#include <cmath>

namespace kavel {

namespace {

struct Paper {
    const char* name;
    double width;  // portrait, in the unit below
    double length;
    QPageSize::Unit unit;
};

constexpr auto kInch = QPageSize::Inch;
constexpr auto kMM = QPageSize::Millimeter;

// Index = paper size code. Sizes follow the names; Ledger is a landscape sheet whose
// portrait size is given (the orientation belongs to the device mode).
constexpr std::array<Paper, kPaperNameCount> kPapers = {{
    {"Default size", 0, 0, kMM},
    {"Letter 8 1/2 x 11 in", 8.5, 11, kInch},
    {"Letter Small 8 1/2 x 11 in", 8.5, 11, kInch},
    {"Tabloid 11 x 17 in", 11, 17, kInch},
    {"Ledger 17 x 11 in", 11, 17, kInch},
    {"Legal 8 1/2 x 14 in", 8.5, 14, kInch},
    {"Statement 5 1/2 x 8 1/2 in", 5.5, 8.5, kInch},
    {"Executive 7 1/2 x 10 in", 7.5, 10, kInch},
    {"A3 297 x 420 mm", 297, 420, kMM},
    {"A4 210 x 297 mm", 210, 297, kMM},
    {"A4 Small 210 x 297 mm", 210, 297, kMM},
    {"A5 148 x 210 mm", 148, 210, kMM},
    {"B4 250 x 354 mm", 250, 354, kMM},
    {"B5 182 x 257 mm", 182, 257, kMM},
    {"Folio 8 1/2 x 13 in", 8.5, 13, kInch},
    {"Quarto 215 x 275 mm", 215, 275, kMM},
    {"10 x 14 in", 10, 14, kInch},
    {"11 x 17 in", 11, 17, kInch},
    {"Note 8 1/2 x 11 in", 8.5, 11, kInch},
    {"Envelope #9 3 7/8 x 8 7/8", 3.875, 8.875, kInch},
    {"Envelope #10 4 1/8 x 9 1/2", 4.125, 9.5, kInch},
    {"Envelope #11 4 1/2 x 10 3/8", 4.5, 10.375, kInch},
    {"Envelope #12 4 3/4 x 11", 4.75, 11, kInch},
    {"Envelope #14 5 x 11 1/2", 5, 11.5, kInch},
    {"C sheet 17 x 22 in", 17, 22, kInch},
    {"D sheet 22 x 34 in", 22, 34, kInch},
    {"E sheet 34 x 44 in", 34, 44, kInch},
    {"Custom Size", 0, 0, kMM},
}};

constexpr int kFirstSizedCode = 1;
constexpr int kLastSizedCode = 26;

bool HasSize(int code) {
    return code >= kFirstSizedCode && code <= kLastSizedCode;
}

}  // namespace

QSizeF PaperSizeMM(int code) {
    if (!HasSize(code)) return QSizeF();
    const Paper& paper = kPapers[code];
    const double factor = paper.unit == kInch ? 25.4 : 1.0;
    return QSizeF(paper.width * factor, paper.length * factor);
}

int PaperCodeForSizeMM(const QSizeF& portraitMM) {
    // A landscape size names the same sheet.
    const double shortSide = std::min(portraitMM.width(), portraitMM.height());
    const double longSide = std::max(portraitMM.width(), portraitMM.height());
    for (int code = kFirstSizedCode; code <= kLastSizedCode; ++code) {
        const QSizeF size = PaperSizeMM(code);
        if (std::abs(size.width() - shortSide) <= 0.5 &&
            std::abs(size.height() - longSide) <= 0.5) {
            return code;
        }
    }
    return 0;
}

QPageSize PageSizeFor(int code, int widthTenthMM, int lengthTenthMM) {
    if (HasSize(code)) {
        const Paper& paper = kPapers[code];
        // An exact match gives Qt's own page size (and its print system key) where one exists.
        return QPageSize(QSizeF(paper.width, paper.length), paper.unit, QString(),
                         QPageSize::ExactMatch);
    }
    if (code == kUserPaperSize && widthTenthMM > 0 && lengthTenthMM > 0) {
        return QPageSize(QSizeF(widthTenthMM / 10.0, lengthTenthMM / 10.0), kMM, QString(),
                         QPageSize::ExactMatch);
    }
    return QPageSize();
}

QSizeF PageSizeMM(const QPageSize& pageSize) {
    if (!pageSize.isValid()) return QSizeF();
    const QSizeF defined = pageSize.definitionSize();
    switch (pageSize.definitionUnits()) {
        case QPageSize::Millimeter:
            return defined;
        case QPageSize::Inch:
            return defined * 25.4;
        case QPageSize::Point:
            return defined * (25.4 / 72);
        default:
            return pageSize.size(QPageSize::Millimeter);
    }
}

QString PaperName(int code) {
    if (code < 0 || code >= kPaperNameCount) return QString();
    // The names are the program's own texts, translatable like its other texts.
    return QCoreApplication::translate("PaperTable", kPapers[code].name);
}

}  // namespace kavel
