// The task's paper, printer and copies, and how they combine with the user's saved choices.
#include "designer/PSetupFormUnit.h"
#include "platform/Messages.h"
#include "platform/PrinterSystem.h"

namespace kavel {

void TPSetupForm::SetPageSize(int orient, int pageWidth, int pageHeight, const QString& pageName) {
    TprnSetup& s = prnSetup_;
    s.strPageName = pageName.trimmed();
    s.intOrient = (orient == 1 || orient == 2) ? orient : 0;
    s.intPageWidth = pageWidth;
    s.intPageHeight = pageHeight;
    if (!s.blPaperSet && static_cast<int64_t>(pageWidth) * pageHeight > 0) {
        const int w = static_cast<int>(static_cast<int64_t>(pageWidth) * pixelsPerInch_ / 254);
        const int h = static_cast<int>(static_cast<int64_t>(pageHeight) * pixelsPerInch_ / 254);
        const bool landscape = s.intOrient == 2;
        pageObject_->setIntDefWidth(landscape ? h : w);
        pageObject_->setIntDefHeight(landscape ? w : h);
        pageObject_->blModified = false;
    }
    s.blPageSizeSet = true;
}

bool TPSetupForm::TrySelectPrinter(int number) {
    PrinterSystem& printers = Context().Printers();
    try {
        const int remembered = printers.Current();
        printers.SetCurrent(number);
        printers.SetCurrent(remembered);
        return true;
    } catch (const KavelError&) {
        return false;
    }
}

}  // namespace kavel
