// The one message box and the one question of the control, as a seam: Qt boxes on a
// display, one line per message on standard error without one, a recorder in tests.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace kavel {

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // Modal box with OK, warning icon, topmost; title = host title + "_Kavel".
    virtual void ShowMessage(const QString& text) = 0;
    // OK/Cancel question (question icon, topmost); true for OK.
    virtual bool AskQuestion(const QString& text) = 0;
    // Information box with the application's title (the manual duplex hint).
    virtual void ShowInfo(const QString& text) = 0;
};

// Title of the host application, used in box captions.
QString HostTitle();
void SetHostTitle(const QString& title);

// Qt message boxes on the screen.
class DialogMessages : public MessageSink {
  public:
    void ShowMessage(const QString& text) override;
    bool AskQuestion(const QString& text) override;
    void ShowInfo(const QString& text) override;
};

// No display: each message becomes the line "message: TEXT" on standard error; a
// question is answered by the configured answer.
class StderrMessages : public MessageSink {
  public:
    explicit StderrMessages(bool answerOk = true) : answerOk_(answerOk) {}
    void ShowMessage(const QString& text) override;
    bool AskQuestion(const QString& text) override;
    void ShowInfo(const QString& text) override;

  private:
    bool answerOk_;
};

// Keeps every text shown, for tests to read.
class RecordingMessages : public MessageSink {
  public:
    explicit RecordingMessages(bool answerOk = true) : answerOk_(answerOk) {}
    void ShowMessage(const QString& text) override { shown.append(text); }
    bool AskQuestion(const QString& text) override {
        questions.append(text);
        return answerOk_;
    }
    void ShowInfo(const QString& text) override { infos.append(text); }
    void Clear() { shown.clear(), questions.clear(), infos.clear(); }

    QStringList shown;
    QStringList questions;
    QStringList infos;

  private:
    bool answerOk_;
};

}  // namespace kavel
