// One page's world: what the controls of one page share and nothing else does. The
// script runner makes one for its script, the local service one per page origin, tests
// their own; a control keeps the context it was made with for its whole life.
#pragma once

#include <memory>

#include "control/RunState.h"

namespace kavel {

class FileAccessQuestion;
class MessageSink;
class PrinterSystem;
class WindowPresenter;

struct ControlContext {
    std::shared_ptr<PrinterSystem> printers;
    std::shared_ptr<MessageSink> messages;
    std::shared_ptr<WindowPresenter> presenter;
    // Output-done flag, display settings, zoom and host page of the page's controls.
    std::shared_ptr<TRunState> runState = std::make_shared<TRunState>();
    // Null: no host page (every address is the control's own machine).
    std::shared_ptr<HostPageProvider> hostPage;
    // Who answers when a page asks for a local file; null: the form on a display, else
    // nobody (refused).
    std::shared_ptr<FileAccessQuestion> fileQuestion;

    // This desktop's: the machine's printers (CUPS and the built-in PDF printer), message
    // boxes and windows on the display, or lines on standard error and windows only looked
    // at without one; no host page.
    static std::shared_ptr<ControlContext> ForThisDesktop();

    PrinterSystem& Printers() const { return *printers; }
    MessageSink& Messages() const { return *messages; }
    WindowPresenter& Presenter() const { return *presenter; }
    TRunState& RunState() const { return *runState; }
    // Describes the host page afresh and keeps a copy in the run state.
    THostPageInfo HostPageInfo() const;
};

}  // namespace kavel
