// The kavel program: runs page scripts against the control.
#include <QApplication>
#include <QFile>

#include <cstdio>

#include "Fonts.h"
#include "ScriptRunner.h"
#include "platform/RuntimeFolder.h"

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty() || args.first() == "--help" || args.first() == "-h" ||
        args.first() != "run") {
        std::fprintf(args.isEmpty() || args.first().startsWith("-") ? stdout : stderr, "%s\n",
                     kavel::RunUsage().toUtf8().constData());
        return args.isEmpty() || args.first().startsWith("-") ? 0 : 2;
    }
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
    // Qt and the browser want a private runtime folder: the user's when it really is
    // private, else one made for this run (a folder that merely has the expected name in
    // /tmp may belong to someone else).
    const QString runtime = kavel::PrivateRuntimeFolder();
    if (!runtime.isEmpty()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    Q_INIT_RESOURCE(kavel_data);
    kavel::UseShippedFontConfig();
    QApplication app(argc, argv);
    QApplication::setApplicationName("kavel");
    kavel::InstallFontSubstitutions();
    return kavel::RunScript(*options);
}
