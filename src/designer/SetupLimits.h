// What the designer lets the user change: everything in design mode, in setup mode what
// script allowed with the SETUP_ENABLESS flags (a text of '0'/'1', one per right).
#pragma once

#include <QString>

namespace kavel {

// The positions of the flags, counted from 1.
enum class SetupRight {
    MoveAndSize = 1,  // move tools, size boxes, arrow keys, mouse dragging, the paper pin
    Color = 2,
    FontName = 3,
    FontSize = 4,  // also the pen width
    Angle = 5,
    TextStyle = 6,  // bold, italic, underline, alignment and image fitting
    PenStyle = 7,
    Arrange = 8,
    Delete = 9,
    Header = 10,
    Footer = 11,
    PositionLock = 12,
    ObjectProperty = 13,
    CloseButton = 14,  // '0' hides the close button while the designer sits in the page
};

class SetupLimits {
  public:
    // runMode: 1 setup, 2 design (others count as setup).
    SetupLimits(int runMode, const QString& enables) : design_(runMode == 2), enables_(enables) {}
    bool Allowed(SetupRight right) const {
        const int i = static_cast<int>(right) - 1;
        return design_ || (i < enables_.size() && enables_[i] == '1');
    }
    // The close button's mark; it ignores the mode, as only its '0' hides the button.
    bool CloseButtonShown() const {
        const int i = static_cast<int>(SetupRight::CloseButton) - 1;
        return !(i < enables_.size() && enables_[i] == '0');
    }
    bool Design() const { return design_; }

  private:
    bool design_;
    QString enables_;
};

}  // namespace kavel
