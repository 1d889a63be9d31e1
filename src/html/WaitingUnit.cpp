#include "html/WaitingUnit.h"

#include <QProgressBar>

#include "platform/Display.h"
#include "ui_WaitingForm.h"

namespace kavel {

TWaitingForm::TWaitingForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint),
      ui_(std::make_unique<Ui::TWaitingForm>()) {
    ui_->setupUi(this);
    resize(377, 50);
}

TWaitingForm::~TWaitingForm() = default;

QProgressBar* TWaitingForm::ProgressBar1() const {
    return ui_->ProgressBar1;
}

void TWaitingForm::Step() {
    QProgressBar* bar = ui_->ProgressBar1;
    bar->setValue(bar->value() >= bar->maximum() ? bar->minimum() : bar->value() + 1);
    repaint();
}

void TWaitingForm::ShowOnTop() {
    if (!HasDisplay()) return;
    show();
    raise();
}

}  // namespace kavel
