// `kavel run`: runs a page script against one control.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kavel {

struct RunOptions {
    QString script;        // empty: the embedded example
    int dpi = 0;           // 0: the screen's
    QString settingsDir;   // empty: the user's data folder
    bool answerOk = true;  // how dialogs and questions are answered without a display
    // Answers to the local-file questions in turn, the last repeating: "ok" (this once),
    // "always" (remembered for the site) or "cancel"; without a display only.
    QStringList fileAnswers;
    QString pdfFile;       // the built-in PDF printer writes here
    QString pngDir;        // ... and/or pictures of the pages here
    bool print = false;    // print on the system's printers (CUPS)
    QString printer;       // with --print: the printer used as the default
    bool preview = false;  // preview the task when the script made no output
    bool design = false;   // open the designer when the script made no output
    bool gui = false;      // real windows and message boxes
    QString screenshotDir;
    QString codeFile;  // the task's layout as page-script code is written here
};

// Parses the arguments after "run"; an error text when they are wrong.
std::optional<RunOptions> ParseRunOptions(const QStringList& args, QString* error);
QString RunUsage();

// Runs the script; the process exit code: 0 the script ran to its end and every output it
// made succeeded, 1 a script error or any value thrown (reported as FILE:LINE: VALUE),
// 2 the script or the options cannot be used, 3 an output failed (a print answered false,
// a PDF or a page picture was not written to its end).
int RunScript(const RunOptions& options);

}  // namespace kavel
