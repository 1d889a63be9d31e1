#include "local/AskFormUnit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "platform/Display.h"
#include "platform/Messages.h"
#include "platform/WindowPresenter.h"
#include "ui_AskForm.h"

namespace kavel {

namespace {

// Nobody is there to answer.
class RefusingQuestion : public FileAccessQuestion {
  public:
    FileAccessAnswer Ask(const QString&, const QString&) override {
        return FileAccessAnswer::Refuse;
    }
};

int RightEnd(const QLabel* label) {
    return label->x() + label->fontMetrics().horizontalAdvance(label->text());
}

}  // namespace

TAskForm::TAskForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TAskForm>()) {
    ui_->setupUi(this);
    setWindowTitle(HostTitle());
    setWindowIcon(QApplication::windowIcon());
}

TAskForm::~TAskForm() = default;

void TAskForm::Prepare(const QString& fileName, const QString& site) {
    ui_->StaticText1->setText(fileName);
    ui_->StaticText2->setText(site);
    for (QLabel* label : {ui_->StaticText1, ui_->StaticText2}) {
        label->resize(label->fontMetrics().horizontalAdvance(label->text()) + 2, label->height());
    }
    ui_->Label2->move(ui_->StaticText2->x() + ui_->StaticText2->width(), ui_->Label2->y());
    const int right = std::max(RightEnd(ui_->Label2), RightEnd(ui_->StaticText1));
    // Fixed border: the size is the form's, never the user's.
    setFixedSize(std::max(width(), right + 10), height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

FileAccessAnswer TAskForm::Answer() const {
    if (result() != QDialog::Accepted) return FileAccessAnswer::Refuse;
    return ui_->CheckBox1->isChecked() ? FileAccessAnswer::AllowAlways
                                       : FileAccessAnswer::AllowOnce;
}

void TAskForm::Choose(FileAccessAnswer answer) {
    ui_->CheckBox1->setChecked(answer == FileAccessAnswer::AllowAlways);
    setResult(answer == FileAccessAnswer::Refuse ? QDialog::Rejected : QDialog::Accepted);
}

AskFormQuestion::AskFormQuestion(std::shared_ptr<WindowPresenter> presenter,
                                 QList<FileAccessAnswer> answers)
    : presenter_(std::move(presenter)), answers_(std::move(answers)) {}

FileAccessAnswer AskFormQuestion::Ask(const QString& fileName, const QString& site) {
    TAskForm form;
    form.Prepare(fileName, site);
    if (answers_.isEmpty()) {
        presenter_->ShowModal(&form);
        return form.Answer();
    }
    const FileAccessAnswer answer = answers_[std::min<int>(next_++, answers_.size() - 1)];
    form.Choose(answer);
    presenter_->ShowModal(&form);
    return answer;
}

std::shared_ptr<FileAccessQuestion> DefaultFileQuestion(
    std::shared_ptr<WindowPresenter> presenter) {
    if (presenter && HasDisplay()) return std::make_shared<AskFormQuestion>(std::move(presenter));
    return std::make_shared<RefusingQuestion>();
}

}  // namespace kavel
