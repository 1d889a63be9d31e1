#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <utility>

#include "platform/CupsPrinterSystem.h"
#include "platform/MachinePrinterSystem.h"
#include "platform/SettingsStore.h"
#include "platform/WindowPresenter.h"

namespace kavel::test {

namespace {
std::shared_ptr<RecordingMessages>& Current() {
    static std::shared_ptr<RecordingMessages> recorder;
    return recorder;
}
std::shared_ptr<ControlContext>& World() {
    static std::shared_ptr<ControlContext> world;
    return world;
}
}  // namespace

void ResetContext() {
    World() = ControlContext::ForThisDesktop();
    InstallRecorder();
}

const std::shared_ptr<ControlContext>& SharedContext() {
    if (!World()) ResetContext();
    return World();
}

ControlContext& Context() {
    return *SharedContext();
}

TRunState& RunState() {
    return Context().RunState();
}

std::shared_ptr<PrinterSystem> UsePrinters(std::shared_ptr<PrinterSystem> printers) {
    if (!printers) {
        printers = std::make_shared<MachinePrinterSystem>(std::make_shared<CupsPrinterSystem>());
    }
    return std::exchange(Context().printers, std::move(printers));
}

std::shared_ptr<WindowPresenter> UsePresenter(std::shared_ptr<WindowPresenter> presenter) {
    return std::exchange(Context().presenter, std::move(presenter));
}

std::shared_ptr<RecordingMessages> InstallRecorder(bool answerOk) {
    Current() = std::make_shared<RecordingMessages>(answerOk);
    SharedContext()->messages = Current();
    return Current();
}

RecordingMessages& Recorder() {
    if (!Current()) InstallRecorder();
    return *Current();
}

ScopedSettingsFolder::ScopedSettingsFolder() {
    SetSettingsBaseFolder(dir_.path());
}
ScopedSettingsFolder::~ScopedSettingsFolder() {
    SetSettingsBaseFolder(QString());
}

void AnswerNextDialog(std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        buttons ? buttons->button(QDialogButtonBox::Ok)->click() : dialog->accept();
    });
}

QString SourceDir() {
    const QByteArray dir = qgetenv("KAVEL_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(".") : QString::fromLocal8Bit(dir);
}

QByteArray ReadFile(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace kavel::test
