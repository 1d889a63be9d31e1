// How the control's windows (preview, designer, dialogs of its own) are shown: on a
// display for real, or, without one, only looked at (screenshots, exported pages) so
// that nothing waits for a user who is not there.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace kavel {

class WindowPresenter {
  public:
    virtual ~WindowPresenter() = default;
    // Shows the window modally and returns when it is closed.
    virtual void ShowModal(QWidget* window) = 0;
    // Shows the window without waiting.
    virtual void Show(QWidget* window) = 0;

    // Called with every window as it opens (screenshots, page export).
    std::function<void(QWidget*)> onOpen;
    // When set, a picture of every window opened is saved there as NN-objectName.png.
    QString screenshotDir;

  protected:
    void Opened(QWidget* window);

  private:
    int shots_ = 0;
};

// Real windows: modal windows run their own event loop until closed.
class ScreenPresenter : public WindowPresenter {
  public:
    void ShowModal(QWidget* window) override;
    void Show(QWidget* window) override;
};

// No display, or a script run without windows: windows are laid out and looked at,
// never waited for.
class HeadlessPresenter : public WindowPresenter {
  public:
    void ShowModal(QWidget* window) override;
    void Show(QWidget* window) override;
};

}  // namespace kavel
