// The application that every benchmark program runs in: offscreen, with the kavel
// program's font set-up, messages on stderr, windows never shown, and the settings and
// the printed files in a temporary folder of its own.
#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "control/ControlContext.h"

namespace kavel::bench {

class BenchApp {
  public:
    // Call first in main, before anything of Qt is created.
    BenchApp(int& argc, char** argv);
    ~BenchApp();
    BenchApp(const BenchApp&) = delete;
    BenchApp& operator=(const BenchApp&) = delete;
};

// A world for the benchmark's controls: the printers given, messages on stderr, windows
// never shown, a script file as the host page.
std::shared_ptr<ControlContext> BenchContext(std::shared_ptr<PrinterSystem> printers);

// A file name in the temporary folder of the running BenchApp.
QString OutputFile(const QString& name);

}  // namespace kavel::bench
