// The application that every benchmark program runs in: offscreen, with the kavel
// program's font set-up, messages on stderr, windows never shown, and the settings and
// the printed files in a temporary folder of its own.
#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kavel::bench {

class BenchApp {
  public:
    // Call first in main, before anything of Qt is created.
    BenchApp(int& argc, char** argv);
    ~BenchApp();
    BenchApp(const BenchApp&) = delete;
    BenchApp& operator=(const BenchApp&) = delete;
};

// A file name in the temporary folder of the running BenchApp.
QString OutputFile(const QString& name);

}  // namespace kavel::bench
