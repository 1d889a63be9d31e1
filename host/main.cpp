// The kavel program: runs page scripts against the control, or serves web pages.
#include <QApplication>
#include <QFile>

#include <cstdio>

#include "Fonts.h"
#include "ScriptRunner.h"
#include "ServeCommand.h"
#include "platform/HeapPolicy.h"
#include "platform/RuntimeFolder.h"

namespace {

// Qt's own notes and warnings (a platform plugin that cannot do something, font fallbacks)
// are no message of the control: they stay out of the user's output unless Qt's logging is
// asked for. Critical errors always pass.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The script's own console output is the script's, not Qt's.
    const bool script = context.category && qstrcmp(context.category, "js") == 0;
    if (!script && type != QtCriticalMsg && type != QtFatalMsg &&
        qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) {
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

// Qt and the browser want a private runtime folder: the user's when it really is private,
// else one made for this run (a folder that merely has the expected name in /tmp may
// belong to someone else).
static void UsePrivateRuntimeFolder() {
    const QString runtime = kavel::PrivateRuntimeFolder();
    if (!runtime.isEmpty()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

// Before the application object: its runtime folder, messages, resources and fonts.
static void PrepareProcess() {
    UsePrivateRuntimeFolder();
    qInstallMessageHandler(QuietQtMessages);
    Q_INIT_RESOURCE(kavel_data);
    kavel::UseShippedFontConfig();
}

// After it: its name and the font names pages use.
static void SetUpApplication() {
    QApplication::setApplicationName("kavel");
    kavel::InstallFontSubstitutions();
}

static int Serve(int argc, char** argv, const QStringList& args) {
    QString error;
    const auto options = kavel::service::ParseServeOptions(args, &error);
    if (!options) {
        std::fprintf(stderr, "kavel: %s\n%s\n", error.toUtf8().constData(),
                     kavel::service::ServeUsage().toUtf8().constData());
        return 2;
    }
    // Windows and questions go to the desktop when there is one; without one the service
    // works on an offscreen display and the allowed list decides.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    PrepareProcess();
    QApplication app(argc, argv);
    SetUpApplication();
    // Closing the last preview window or question leaves the service running.
    QApplication::setQuitOnLastWindowClosed(false);
    return kavel::service::RunService(*options);
}

int main(int argc, char** argv) {
    kavel::KeepFreedMemory();
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (args.contains("--help") || args.contains("-h")) {
        const bool serve = !args.isEmpty() && args.first() == "serve";
        std::fprintf(
            stdout, "%s\n",
            (serve ? kavel::service::ServeUsage() : kavel::RunUsage()).toUtf8().constData());
        return 0;
    }
    const QString usage = kavel::RunUsage() + "\n\n" + kavel::service::ServeUsage();
    if (args.isEmpty() || (args.first() != "run" && args.first() != "serve")) {
        std::fprintf(args.isEmpty() ? stdout : stderr, "%s\n", usage.toUtf8().constData());
        return args.isEmpty() ? 0 : 2;
    }
    if (args.first() == "serve") return Serve(argc, argv, args.mid(1));
    args.removeFirst();
    QString error;
    const auto options = kavel::ParseRunOptions(args, &error);
    if (!options) {
        std::fprintf(stderr, "kavel: %s\n%s\n", error.toUtf8().constData(),
                     kavel::RunUsage().toUtf8().constData());
        return 2;
    }
    if (options->gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "kavel: --gui needs a display, and DISPLAY is not set\n");
        return 2;
    }
    // Without --gui nothing is shown: the control works on an offscreen display.
    if (!options->gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    PrepareProcess();
    QApplication app(argc, argv);
    SetUpApplication();
    return kavel::RunScript(*options);
}
