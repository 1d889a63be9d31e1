// The question a page's first access to a local file asks the user: the file, the site,
// and whether the site may read and write it for good.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAskForm;
}

namespace kavel {

class WindowPresenter;

enum class FileAccessAnswer { Refuse, AllowOnce, AllowAlways };

class TAskForm : public QDialog {
    Q_OBJECT
  public:
    explicit TAskForm(QWidget* parent = nullptr);
    ~TAskForm() override;

    // Fills in the file and the site and fits the window to them: "读写该文件" follows the
    // site, and the window reaches 10 pixels beyond the longest line.
    void Prepare(const QString& fileName, const QString& site);
    // What the user chose: refused unless confirmed, for good when the box is checked.
    FileAccessAnswer Answer() const;
    // Sets the choices as an answer given without the user (scripted runs).
    void Choose(FileAccessAnswer answer);

  private:
    std::unique_ptr<Ui::TAskForm> ui_;
};

// Who answers the question; the form on the desktop unless replaced.
class FileAccessQuestion {
  public:
    virtual ~FileAccessQuestion() = default;
    virtual FileAccessAnswer Ask(const QString& fileName, const QString& site) = 0;
};

// The form, answered by the user through the window presenter; or, when answers are given,
// by them in turn (the last one repeats), the form still shown to the presenter so that a
// run without a display pictures it.
class AskFormQuestion : public FileAccessQuestion {
  public:
    explicit AskFormQuestion(std::shared_ptr<WindowPresenter> presenter,
                             QList<FileAccessAnswer> answers = {});
    FileAccessAnswer Ask(const QString& fileName, const QString& site) override;

  private:
    std::shared_ptr<WindowPresenter> presenter_;
    QList<FileAccessAnswer> answers_;
    int next_ = 0;
};

// The question a page's file members ask when its world names none: the form on a display
// (shown through the presenter); without one, nobody can answer and access is refused.
std::shared_ptr<FileAccessQuestion> DefaultFileQuestion(std::shared_ptr<WindowPresenter> presenter);

}  // namespace kavel
