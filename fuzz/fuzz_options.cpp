// The runner's option parsing, the input split into arguments at NUL bytes. Options are
// accepted only within their ranges and combinations; a refusal always says why; what is
// accepted, written out again as arguments, parses to the same options.
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "ScriptRunner.h"

namespace {

using namespace kavel;

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_options: %s\n", what);
    std::abort();
}

bool operator==(const RunOptions& a, const RunOptions& b) {
    return a.script == b.script && a.dpi == b.dpi && a.settingsDir == b.settingsDir &&
           a.answerOk == b.answerOk && a.pdfFile == b.pdfFile && a.pngDir == b.pngDir &&
           a.print == b.print && a.printer == b.printer && a.preview == b.preview &&
           a.design == b.design && a.gui == b.gui && a.screenshotDir == b.screenshotDir;
}

// The options written out as arguments.
QStringList Arguments(const RunOptions& o) {
    QStringList args;
    if (!o.script.isEmpty()) args << o.script;
    if (o.dpi != 0) args << "--dpi" << QString::number(o.dpi);
    const std::pair<const char*, const QString*> values[] = {{"--settings", &o.settingsDir},
                                                             {"--pdf", &o.pdfFile},
                                                             {"--png", &o.pngDir},
                                                             {"--printer", &o.printer},
                                                             {"--screenshot", &o.screenshotDir}};
    for (const auto& [flag, value] : values) {
        if (!value->isEmpty()) args << flag << *value;
    }
    if (!o.answerOk)
        args << "--answer"
             << "cancel";
    if (o.print) args << "--print";
    if (o.preview) args << "--preview";
    if (o.design) args << "--design";
    if (o.gui) args << "--gui";
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList args;
    if (size > 0) {
        for (const QByteArray& part :
             QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
                 .split('\0')) {
            args << QString::fromUtf8(part);
        }
    }
    QString error;
    const std::optional<RunOptions> options = ParseRunOptions(args, &error);
    if (!options) {
        Require(!error.isEmpty(), "an option list was refused without a reason");
        return 0;
    }
    Require(error.isEmpty(), "accepted options came with an error");
    const RunOptions& o = *options;
    Require(o.dpi == 0 || (o.dpi >= 24 && o.dpi <= 1200), "a resolution out of range was accepted");
    Require(!(o.print && (!o.pdfFile.isEmpty() || !o.pngDir.isEmpty())),
            "printing on the system's printers and on the built-in one at once was accepted");
    Require(!o.script.startsWith("--"), "an option was taken for the script");

    QString again;
    const std::optional<RunOptions> reparsed = ParseRunOptions(Arguments(o), &again);
    Require(reparsed && *reparsed == o, "the accepted options, written out, parse differently");
    return 0;
}
