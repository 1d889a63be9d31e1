// Composing a task's pages on a page target, and printing what was composed: the logic that
// the preview form runs, and that a print showing no window runs without building one.
#pragma once

#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>

#include "control/PrnSetup.h"

namespace kavel {

struct ControlContext;
class TKVPrinter;
class TModiControl;

// One task as composition reads it.
struct TaskPages {
    const TModiControl* pageObject = nullptr;
    const QList<QPointer<TModiControl>>* items = nullptr;
    const TprnSetup* setup = nullptr;
    const QImage* background = nullptr;  // drawn on preview pages as the setup says
};

struct ComposeOutcome {
    bool composed = false;   // every page was drawn and the target ended its document
    bool truncated = false;  // stopped at the page limit with items left
    QString error;           // why it stopped, when it did
};

// Lays the task out on the target, page by page, from a fresh start: the target begins its
// document, and ends it when every page is drawn.
ComposeOutcome ComposeTask(const TaskPages& task, TKVPrinter& target, bool forPrinter);

// Sends pages from..to (0: to the last) of a composition to the printer, manual double-sided
// when asked. Answers whether the whole task was printed; a composition that failed raises
// KavelError, an empty or truncated task says so in a message.
bool PrintComposed(const ComposeOutcome& outcome, TKVPrinter& target, ControlContext& context,
                   int from, int to, bool doubleSided);

// What the user is told when a composition stopped at the page limit with the task not
// finished: how many pages were printed (or are shown) and that the rest was not.
QString TruncatedText(int pages, bool printed);

}  // namespace kavel
