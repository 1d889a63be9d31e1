#include "platform/Messages.h"

#include "platform/Display.h"
#include "platform/Variant.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace kavel {

namespace {

// Characters of one message at the most: a quoted value never floods the screen or log.
constexpr int kMaxMessageLength = 2000;

QString& Title() {
    static QString title = QStringLiteral("Kavel");
    return title;
}
}  // namespace

QString HostTitle() {
    return Title();
}
void SetHostTitle(const QString& title) {
    Title() = title;
}

void DialogMessages::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, HostTitle() + "_Kavel", Excerpt(text, kMaxMessageLength),
                    QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

bool DialogMessages::AskQuestion(const QString& text) {
    QMessageBox box(QMessageBox::Question, HostTitle() + "_Kavel", Excerpt(text, kMaxMessageLength),
                    QMessageBox::Ok | QMessageBox::Cancel);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return box.exec() == QMessageBox::Ok;
}

void DialogMessages::ShowInfo(const QString& text) {
    QMessageBox box(QMessageBox::Information, HostTitle(), text, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

namespace {
void WriteLine(const char* kind, const QString& text) {
    // One line per message: line breaks inside the text are shown as spaces, and a text
    // that quotes a huge value is cut.
    QString line = Excerpt(text, kMaxMessageLength);
    line.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
    std::fprintf(stderr, "%s: %s\n", kind, line.toUtf8().constData());
    std::fflush(stderr);
}
}  // namespace

void StderrMessages::ShowMessage(const QString& text) {
    WriteLine("message", text);
}

bool StderrMessages::AskQuestion(const QString& text) {
    WriteLine("question", text + (answerOk_ ? " -> OK" : " -> Cancel"));
    return answerOk_;
}

void StderrMessages::ShowInfo(const QString& text) {
    WriteLine("message", text);
}

}  // namespace kavel
