// The system paper size codes and their sizes.
#pragma once

#include <QPageSize>
#include <QSizeF>

namespace kavel {

constexpr int kUserPaperSize = 256;  // the device mode's user-defined size

// Portrait size in millimetres of a paper size code 1..26; an empty size otherwise.
QSizeF PaperSizeMM(int code);
// The paper size code whose size matches (within half a millimetre); 0 when none.
int PaperCodeForSizeMM(const QSizeF& portraitMM);
// Qt's page size for a device mode's paper (user sizes in tenths of a millimetre).
QPageSize PageSizeFor(int code, int widthTenthMM, int lengthTenthMM);

}  // namespace kavel
