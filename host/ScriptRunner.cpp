#include "ScriptRunner.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJSEngine>
#include <QUrl>
#include <cstdio>

#include "ScriptBinding.h"
#include "control/RunState.h"
#include "control/VelloImpl1.h"
#include "designer/LayoutCode.h"
#include "designer/PSetupFormUnit.h"
#include "local/AskFormUnit.h"
#include "platform/CupsPrinterSystem.h"
#include "platform/MachinePrinterSystem.h"
#include "platform/Messages.h"
#include "platform/OutputFile.h"
#include "platform/SettingsStore.h"
#include "platform/VirtualPrinterSystem.h"
#include "platform/WindowPresenter.h"
#include "render/PrevStringFormUnit.h"

namespace kavel {

namespace {

void Err(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

// The line of the script where an uncaught exception arose: the first frame of the stack
// trace ("function:line:column:file") outside the binding, else the error's own line.
int ScriptLine(const QStringList& trace, const QJSValue& error, const QString& bindingFile) {
    for (const QString& frame : trace) {
        if (frame.contains(bindingFile)) continue;
        const QStringList parts = frame.split(':');
        if (parts.size() >= 2) return parts[1].toInt();
    }
    return error.property("lineNumber").toInt();
}

// What the script asked the control to output, and what of it failed.
class OutputLedger {
  public:
    void Called(const QString& member, const Variant& result) {
        // Raw data is no task output, but data that did not reach the printer fails the run.
        if (member == "SEND_PRINT_RAWDATA" && !result.ToBool()) {
            Fail("SEND_PRINT_RAWDATA answered false: the data did not reach the printer");
        }
        static const QStringList outputs = {"PRINT",    "PRINTA",   "PRINTB",      "PREVIEW",
                                            "PREVIEWA", "PREVIEWB", "PRINT_SETUP", "PRINT_DESIGN"};
        if (!outputs.contains(member)) return;
        madeOutput_ = true;
        if (member.startsWith("PRINT") && !member.startsWith("PRINT_") && !result.ToBool()) {
            Fail(QString("%1 answered false: the print did not succeed").arg(member));
        }
    }
    void Fail(const QString& reason) {
        Err("kavel: " + reason);
        failed_ = true;
    }
    bool MadeOutput() const { return madeOutput_; }
    bool Failed() const { return failed_; }

  private:
    bool madeOutput_ = false;
    bool failed_ = false;
};

}  // namespace

QString RunUsage() {
    return QStringLiteral(
        "usage: kavel run [SCRIPT.js] [--dpi N] [--settings DIR] [--answer ok|always|cancel]\n"
        "                 [--pdf FILE] [--png DIR] [--print [--printer NAME]]\n"
        "                 [--preview] [--design] [--gui] [--screenshot DIR] [--code FILE]\n"
        "Without SCRIPT the embedded example task runs. Exit status: 0 the script ran to\n"
        "its end and every output it made succeeded; 1 a script error (FILE:LINE:\n"
        "message); 2 the script or the options cannot be used; 3 an output failed.\n"
        "--code writes page-script code that rebuilds the task's layout as the designer\n"
        "shows it (stored adjustments applied).\n"
        "--answer answers dialogs and questions; repeated, it answers the local-file\n"
        "questions in turn (always: allowed for good), the last one for every other.");
}

std::optional<RunOptions> ParseRunOptions(const QStringList& args, QString* error) {
    RunOptions o;
    auto value = [&](int& i, const QString& flag) -> std::optional<QString> {
        if (i + 1 >= args.size()) {
            *error = flag + " needs a value";
            return std::nullopt;
        }
        return args[++i];
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        if (a == "--dpi") {
            const auto v = value(i, a);
            if (!v) return std::nullopt;
            bool ok = false;
            o.dpi = v->toInt(&ok);
            if (!ok || o.dpi < 24 || o.dpi > 1200) {
                *error = "--dpi takes a number from 24 to 1200";
                return std::nullopt;
            }
        } else if (a == "--settings" || a == "--pdf" || a == "--png" || a == "--printer" ||
                   a == "--screenshot" || a == "--answer" || a == "--code") {
            const auto v = value(i, a);
            if (!v) return std::nullopt;
            if (a == "--settings") o.settingsDir = *v;
            if (a == "--pdf") o.pdfFile = *v;
            if (a == "--png") o.pngDir = *v;
            if (a == "--printer") o.printer = *v;
            if (a == "--screenshot") o.screenshotDir = *v;
            if (a == "--code") o.codeFile = *v;
            if (a == "--answer") {
                if (*v != "ok" && *v != "always" && *v != "cancel") {
                    *error = "--answer takes ok, always or cancel";
                    return std::nullopt;
                }
                o.answerOk = *v != "cancel";
                o.fileAnswers << *v;
            }
        } else if (a == "--print") {
            o.print = true;
        } else if (a == "--preview") {
            o.preview = true;
        } else if (a == "--design") {
            o.design = true;
        } else if (a == "--gui") {
            o.gui = true;
        } else if (a.startsWith("--")) {
            *error = "unknown option " + a;
            return std::nullopt;
        } else if (o.script.isEmpty()) {
            o.script = a;
        } else {
            *error = "only one script can run";
            return std::nullopt;
        }
    }
    if (o.print && (!o.pdfFile.isEmpty() || !o.pngDir.isEmpty())) {
        *error = "--print prints on the system's printers; --pdf and --png on the built-in one";
        return std::nullopt;
    }
    return o;
}

int RunScript(const RunOptions& o) {
    QString source, fileName = o.script;
    if (o.script.isEmpty()) {
        fileName = QStringLiteral("default-example.js");
        QFile embedded(":/kavel/default-example.js");
        embedded.open(QIODevice::ReadOnly);
        source = QString::fromUtf8(embedded.readAll());
    } else {
        QFile file(o.script);
        if (!file.open(QIODevice::ReadOnly)) {
            Err(QString("kavel: cannot read %1: %2").arg(o.script, file.errorString()));
            return 2;
        }
        source = QString::fromUtf8(file.readAll());
    }

    if (!o.settingsDir.isEmpty())
        SetSettingsBaseFolder(QFileInfo(o.settingsDir).absoluteFilePath());
    auto context = std::make_shared<ControlContext>();
    context->messages = o.gui ? std::shared_ptr<MessageSink>(std::make_shared<DialogMessages>())
                              : std::make_shared<StderrMessages>(o.answerOk);
    SetDialogPolicy(o.gui ? DialogAnswer::Show
                          : (o.answerOk ? DialogAnswer::Ok : DialogAnswer::Cancel));
    OutputLedger ledger;
    std::shared_ptr<WindowPresenter> presenter;
    if (o.gui) {
        presenter = std::make_shared<ScreenPresenter>();
    } else {
        presenter = std::make_shared<HeadlessPresenter>();
    }
    presenter->screenshotDir = o.screenshotDir;
    if (!o.pngDir.isEmpty()) {
        // Preview pages are written where printed pages go.
        const QString dir = o.pngDir;
        presenter->onOpen = [dir, &ledger](QWidget* window) {
            auto* preview = qobject_cast<TPrevStringForm*>(window);
            if (!preview) return;
            try {
                preview->SavePagesAsPng(dir);
            } catch (const KavelError& e) {
                ledger.Fail("the preview's pages were not written: " + e.Text());
            }
        };
    }
    context->presenter = presenter;
    if (!o.gui) {
        // Without a display the file questions are answered by --answer, in turn.
        QList<FileAccessAnswer> answers;
        for (const QString& answer : o.fileAnswers) {
            answers << (answer == "always" ? FileAccessAnswer::AllowAlways
                        : answer == "ok"   ? FileAccessAnswer::AllowOnce
                                           : FileAccessAnswer::Refuse);
        }
        if (answers.isEmpty()) answers << FileAccessAnswer::AllowOnce;
        context->fileQuestion = std::make_shared<AskFormQuestion>(presenter, answers);
    }

    std::shared_ptr<VirtualPrinterSystem> pdf;
    std::shared_ptr<MachinePrinterSystem> machine;
    if (!o.pdfFile.isEmpty() || !o.pngDir.isEmpty()) {
        pdf = MakePdfPrinterSystem(o.pdfFile, o.pngDir);
        context->printers = pdf;
    } else {
        machine =
            std::make_shared<MachinePrinterSystem>(std::make_shared<CupsPrinterSystem>(o.printer));
        context->printers = machine;
        // A printer named for the run that is not there would otherwise let the task go to
        // another one.
        if (!o.printer.isEmpty()) {
            const QString why = machine->WhyNotUsable(o.printer);
            if (!why.isEmpty()) {
                Err("kavel: " + why);
                return 2;
            }
        } else if (o.print) {
            if (const QString why = machine->Unreachable(); !why.isEmpty()) {
                Err(QString("kavel: %1; the task goes to the built-in printer \"%2\"")
                        .arg(why, kPdfPrinterName));
            }
        }
    }
    const QString url =
        o.script.isEmpty() ? QStringLiteral("file:///kavel/default-example.js")
                           : QUrl::fromLocalFile(QFileInfo(o.script).absoluteFilePath()).toString();
    context->hostPage = std::make_shared<FixedHostPage>(url);

    TKavelX control(context);
    if (o.dpi > 0) control.SetPixelsPerInch(o.dpi);

    QJSEngine engine;
    engine.installExtensions(QJSEngine::ConsoleExtension);
    const QString bindingFile = QStringLiteral("kavel:binding");
    BindControl(engine, control, "KAVEL", [&ledger](const QString& member, const Variant& result) {
        ledger.Called(member, result);
    });
    QStringList trace;
    const QJSValue result = engine.evaluate(source, fileName, 1, &trace);
    if (!trace.isEmpty() || result.isError()) {
        // Whatever was thrown, an Error or any other value: the script failed, and the
        // task it was building is not printed.
        Err(QString("%1:%2: %3")
                .arg(fileName)
                .arg(ScriptLine(trace, result, bindingFile))
                .arg(Excerpt(result.toString(), 2000)));
        return 1;
    }

    if (!ledger.MadeOutput()) {
        // Only a script that made no output of its own gets the output the options ask for.
        if (o.preview) {
            control.PREVIEW();
        } else if (o.design) {
            control.PRINT_DESIGN();
        } else if (o.print || pdf) {
            Variant printed;
            control.PRINT(&printed);
            ledger.Called("PRINT", printed);
        }
    }
    if (!o.codeFile.isEmpty()) {
        // The task as the designer opens it in setup mode, its stored adjustments applied.
        TPSetupForm* form = control.DesignForm();
        form->PrepareTask(1, false, false);
        QString error;
        if (!WriteOutputFile(o.codeFile, CreateLayoutCode(*form).join("\r\n").toUtf8() + "\r\n",
                             &error)) {
            ledger.Fail("the layout code was not written: " + error);
        }
    }
    if (pdf || machine) {
        for (const VirtualJob& job : pdf ? pdf->Jobs() : machine->PdfJobs()) {
            if (!job.finished || job.pdfFile.isEmpty()) continue;
            const QString copies = job.copies > 1 ? QString(", %1 copies,").arg(job.copies) : "";
            Err(QString("printed %1 page(s)%2 to %3").arg(job.pageCount).arg(copies, job.pdfFile));
        }
    }
    if (o.gui) {
        // The control's own panel is shown only when the task put a preview or the
        // designer inside it, as a page would show it.
        if (control.EmbeddedForm()) control.show();
        if (control.EmbeddedForm() || (control.DesignForm() && control.DesignForm()->isVisible())) {
            // Windows left open by the script stay until the user closes the last one.
            QApplication::exec();
        }
    }
    return ledger.Failed() ? 3 : 0;
}

}  // namespace kavel
