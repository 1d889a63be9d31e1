// Helpers shared by the test programs.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "control/ControlContext.h"
#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/VirtualPrinterSystem.h"

namespace kavel::test {

// The world of the test's controls, made afresh before every test: this desktop's (the
// machine's printers, windows only looked at without a display) with a message recorder.
ControlContext& Context();
const std::shared_ptr<ControlContext>& SharedContext();
void ResetContext();
// The run state of the test's world.
TRunState& RunState();
// Replace the printers or the window presenter of the test's world and return the
// previous ones; null puts the machine's printers back.
std::shared_ptr<PrinterSystem> UsePrinters(std::shared_ptr<PrinterSystem> printers);
std::shared_ptr<WindowPresenter> UsePresenter(std::shared_ptr<WindowPresenter> presenter);

// Installs a fresh message recorder as the test world's message sink and answers it.
std::shared_ptr<RecordingMessages> InstallRecorder(bool answerOk = true);
RecordingMessages& Recorder();

// A temporary settings base folder for one test; restored when it goes.
class ScopedSettingsFolder {
  public:
    ScopedSettingsFolder();
    ~ScopedSettingsFolder();
    QString Path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
};

// Sets the dialog policy for one scope and puts the previous one back.
class ScopedDialogPolicy {
  public:
    explicit ScopedDialogPolicy(DialogAnswer answer) : previous_(DialogPolicy()) {
        SetDialogPolicy(answer);
    }
    ~ScopedDialogPolicy() { SetDialogPolicy(previous_); }

  private:
    DialogAnswer previous_;
};

// Answers the next modal dialog as a user would: `act` looks at it and changes its widgets,
// then its OK button (or, without one, the dialog's own accept) confirms it.
void AnswerNextDialog(std::function<void(QDialog*)> act);

// A virtual printer system with the named printers, each keeping the pictures of its
// pages; the one at defaultIndex is the default (none for an index outside the list).
inline std::shared_ptr<VirtualPrinterSystem> MakePrinters(const QStringList& names,
                                                          int defaultIndex = 0) {
    auto system = std::make_shared<VirtualPrinterSystem>();
    for (const QString& name : names) {
        VirtualPrinter printer;
        printer.name = name;
        printer.keepImages = true;
        system->AddPrinter(printer);
    }
    if (defaultIndex >= 0 && defaultIndex < names.size()) {
        system->SetDefaultPrinter(names[defaultIndex]);
    }
    return system;
}

// The source tree (for example scripts and reference files).
QString SourceDir();

// The whole of a file; empty when it cannot be read.
QByteArray ReadFile(const QString& fileName);
// Creates or replaces a file with the bytes; false when it cannot.
bool WriteFile(const QString& fileName, const QByteArray& bytes = QByteArray());

}  // namespace kavel::test
