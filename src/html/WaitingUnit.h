// The progress form of an item preparation: a small window on top that says what is
// being waited for, with a bar that steps as the browser reports progress. Shown only
// with a display; closing it ends the wait for an address at once.
#pragma once

#include <QDialog>
#include <memory>

class QProgressBar;

namespace Ui {
class TWaitingForm;
}

namespace kavel {

class TWaitingForm : public QDialog {
    Q_OBJECT
  public:
    explicit TWaitingForm(QWidget* parent = nullptr);
    ~TWaitingForm() override;

    QProgressBar* ProgressBar1() const;
    // One step of the bar (wrapping at its end) and a repaint.
    void Step();
    // Shown and brought to the front, when there is a display to show it on.
    void ShowOnTop();

  private:
    std::unique_ptr<Ui::TWaitingForm> ui_;
};

}  // namespace kavel
