// The system paper size codes and their sizes.
#pragma once

#include <QPageSize>
#include <QSizeF>
#include <QString>

namespace kavel {

constexpr int kUserPaperSize = 256;  // the device mode's user-defined size

// Portrait size in millimetres of a paper size code 1..26; an empty size otherwise.
QSizeF PaperSizeMM(int code);
// The paper size code whose size matches (within half a millimetre); 0 when none.
int PaperCodeForSizeMM(const QSizeF& portraitMM);
// Qt's page size for a device mode's paper (user sizes in tenths of a millimetre); an
// invalid page size for an unknown code or an empty user size. The size is portrait as
// the device mode gives it; the orientation is applied by the caller.
QPageSize PageSizeFor(int code, int widthTenthMM, int lengthTenthMM);

// The size of a page size in millimetres as it was defined (Qt's own conversion rounds
// inch sizes to whole millimetres).
QSizeF PageSizeMM(const QPageSize& pageSize);

// The paper table's name of a code 0..27 ("A4 210 x 297 mm"); empty otherwise. Names
// are looked up by text when script gives a paper name.
QString PaperName(int code);
constexpr int kPaperNameCount = 28;

}  // namespace kavel
