// Sequences of member calls on one control, each program ended by an output: printed on
// the built-in PDF printer, sometimes previewed (pages written as pictures) first. The
// control is called the way page script calls it, through the late-bound path. Besides
// crashes and sanitizer reports, a print that answers true must have written its whole
// document.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "CallProgram.h"
#include "Fonts.h"
#include "control/VelloImpl1.h"
#include "designer/PSetupFormUnit.h"
#include "local/PortMap.h"
#include "platform/ChromiumEngine.h"
#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/SettingsStore.h"
#include "platform/VirtualPrinterSystem.h"
#include "platform/WindowPresenter.h"
#include "render/PrevStringFormUnit.h"

namespace {

using namespace kavel;
using namespace kavel::fuzz;

// Folders that one program may write; emptied before every program.
struct Scratch {
    QTemporaryDir root{QDir::tempPath() + "/kavel-fuzz-calls-XXXXXX"};
    QString Path(const char* name) const { return root.filePath(QString::fromLatin1(name)); }
    void Empty() const {
        for (const char* name : {"settings", "out", "pictures"}) {
            QDir dir(Path(name));
            dir.removeRecursively();
            QDir().mkpath(dir.path());
        }
    }
};

// Made once; removed with everything in it when the process ends.
const Scratch& TheScratch() {
    static const Scratch scratch;
    return scratch;
}

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_calls: %s\n", what);
    std::abort();
}

bool IsPrint(const CallStep& step) {
    return step.kind == CallStep::Kind::Invoke && step.how == InvokeKind::Method &&
           (step.dispid == 220 || step.dispid == 237 || step.dispid == 244);  // PRINT, A, B
}

// A PDF counts as written when it is there to its end.
bool CompletePdf(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(5);
    const qint64 size = file.size();
    if (size < 16 || !file.seek(size - 16)) return false;
    return head == "%PDF-" && file.read(16).contains("%%EOF");
}

// A print that answered true left a new, finished job whose PDF is complete.
void CheckPrinted(const VirtualPrinterSystem& printers, size_t jobsBefore, const Variant& result) {
    if (!(result == Variant::Bool(true))) return;
    const std::vector<VirtualJob>& jobs = printers.Jobs();
    Require(jobs.size() > jobsBefore, "a print answered true without a print job");
    for (size_t i = jobsBefore; i < jobs.size(); ++i) {
        Require(jobs[i].finished, "a print answered true with an unfinished job");
        Require(CompletePdf(jobs[i].pdfFile), "a print answered true with an incomplete PDF");
    }
}

// With KAVEL_FUZZ_TRACE set, each step is written to standard error: what an input does,
// for reading a finding.
bool Tracing() {
    static const bool on = !qEnvironmentVariableIsEmpty("KAVEL_FUZZ_TRACE");
    return on;
}

void Trace(const CallStep& step) {
    if (!Tracing()) return;
    QString line;
    if (step.kind == CallStep::Kind::StoreLayout) {
        line = QString("layout file of %1 bytes").arg(step.layout.size());
    } else {
        const char* how[] = {"", "get ", "put "};
        line = how[static_cast<int>(step.how)] + step.name + "(";
        for (size_t i = 0; i < step.args.size(); ++i) {
            QString arg = step.args[i].Describe();
            if (arg.size() > 80) arg = arg.left(60) + QString("... (%1 chars)").arg(arg.size());
            line += (i ? ", " : "") + arg;
        }
        line += ")";
    }
    std::fprintf(stderr, "step: %s\n", line.toUtf8().constData());
}

void StoreLayout(TKavelX& control, const QByteArray& text) {
    const TPSetupForm* form = control.DesignForm();
    const QString file = GetSettingsFileName(false, form ? form->Setup().strTaskName : QString());
    if (file.isEmpty()) return;
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(text);
}

void Run(const CallProgram& program) {
    TheScratch().Empty();
    auto context = std::make_shared<ControlContext>();
    context->messages = std::make_shared<RecordingMessages>(true);
    SetDialogPolicy(DialogAnswer::Ok);
    const bool pictures = program.output == FinalOutput::PrintWithPictures;
    const auto printers =
        MakePdfPrinterSystem(TheScratch().Path("out") + "/task.pdf",
                             pictures ? TheScratch().Path("pictures") : QString());
    context->printers = printers;
    auto presenter = std::make_shared<HeadlessPresenter>();
    const QString pictureDir = TheScratch().Path("pictures");
    presenter->onOpen = [pictureDir](QWidget* window) {
        if (auto* preview = qobject_cast<TPrevStringForm*>(window)) {
            preview->SavePagesAsPng(pictureDir);
        }
    };
    context->presenter = presenter;

    {
        TKavelX control(context);
        control.SetPixelsPerInch(program.pixelsPerInch);
        for (const CallStep& step : program.steps) {
            Trace(step);
            if (step.kind == CallStep::Kind::StoreLayout) {
                StoreLayout(control, step.layout);
                continue;
            }
            const size_t jobs = printers->Jobs().size();
            Variant result;
            QString error;
            const HRESULT hr = control.Invoke(step.dispid, step.how, step.args, &result, &error);
            if (Tracing()) {
                std::fprintf(stderr, "  -> %08x %s %s\n", static_cast<unsigned>(hr),
                             result.Describe().toUtf8().constData(), error.toUtf8().constData());
            }
            if (IsPrint(step)) CheckPrinted(*printers, jobs, result);
        }
        if (program.output == FinalOutput::PreviewThenPrint) control.PREVIEW();
        const size_t jobs = printers->Jobs().size();
        Variant printed;
        control.PRINT(&printed);
        CheckPrinted(*printers, jobs, printed);
        if (Tracing()) {
            std::fprintf(stderr, "final print: %s, %zu job(s)\n",
                         printed.Describe().toUtf8().constData(), printers->Jobs().size());
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

// Outside every namespace and outside the C-linkage entry points, as Qt's macro needs.
static void InitResources() {
    Q_INIT_RESOURCE(kavel_data);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("FONTCONFIG_FILE")) {
        qputenv("FONTCONFIG_FILE", KAVEL_SOURCE_DIR "/data/fonts.conf");
    }
    // Qt's complaints about damaged input are expected here and would drown the report.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "fuzz_calls";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    InitResources();
    kavel::InstallFontSubstitutions();

    kavel::SetSettingsBaseFolder(TheScratch().Path("settings"));
    // Port members write and read devices: COMn and LPTn lead into an empty folder here.
    kavel::SetPortDeviceFolder(TheScratch().Path("devices"));
    // The programs fuzz the control, not the browser: loading each HTML item into a real
    // browser made single runs take seconds. With a browser that cannot start, HTML items
    // take their "prints nothing" path in a moment.
    kavel::SetBrowserEngine(std::make_shared<kavel::ChromiumEngine>(kavel::ChromiumOptions{
        QStringLiteral("/nonexistent/browser"), {}, std::chrono::seconds(1)}));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CallProgram program = DecodeCallProgram(data, size);
    Run(program);
    return 0;
}
