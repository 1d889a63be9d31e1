#include "BenchApp.h"

#include <QDir>

#include "Fonts.h"
#include "control/RunState.h"
#include "platform/HeapPolicy.h"
#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/SettingsStore.h"
#include "platform/WindowPresenter.h"

// Resources of a static library are registered by hand, from the global namespace.
static void InitKavelResources() {
    Q_INIT_RESOURCE(kavel_data);
}

namespace kavel::bench {

namespace {

std::unique_ptr<QTemporaryDir>& Folder() {
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

std::unique_ptr<QApplication>& App() {
    static std::unique_ptr<QApplication> app;
    return app;
}

class BenchPage : public HostPageProvider {
  public:
    THostPageInfo Describe() override { return DescribeUrl("file:///kavel/bench/tasks.js"); }
};

}  // namespace

BenchApp::BenchApp(int& argc, char** argv) {
    KeepFreedMemory();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    InitKavelResources();
    UseShippedFontConfig();
    App() = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName("kavel");
    InstallFontSubstitutions();

    Folder() = std::make_unique<QTemporaryDir>(QDir::temp().filePath("kavel-bench-XXXXXX"));
    SetSettingsBaseFolder(Folder()->filePath("settings"));
    SetDialogPolicy(DialogAnswer::Ok);
}

std::shared_ptr<ControlContext> BenchContext(std::shared_ptr<PrinterSystem> printers) {
    auto context = std::make_shared<ControlContext>();
    context->printers = std::move(printers);
    context->messages = std::make_shared<StderrMessages>();
    context->presenter = std::make_shared<HeadlessPresenter>();
    context->hostPage = std::make_shared<BenchPage>();
    return context;
}

BenchApp::~BenchApp() {
    Folder().reset();
    App().reset();
}

QString OutputFile(const QString& name) {
    return Folder() ? Folder()->filePath(name) : QDir::temp().filePath(name);
}

}  // namespace kavel::bench
