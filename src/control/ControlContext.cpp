#include "control/ControlContext.h"

#include "platform/CupsPrinterSystem.h"
#include "platform/Display.h"
#include "platform/MachinePrinterSystem.h"
#include "platform/Messages.h"
#include "platform/WindowPresenter.h"

namespace kavel {

std::shared_ptr<ControlContext> ControlContext::ForThisDesktop() {
    auto context = std::make_shared<ControlContext>();
    context->printers =
        std::make_shared<MachinePrinterSystem>(std::make_shared<CupsPrinterSystem>());
    if (HasDisplay()) {
        context->messages = std::make_shared<DialogMessages>();
        context->presenter = std::make_shared<ScreenPresenter>();
    } else {
        context->messages = std::make_shared<StderrMessages>();
        context->presenter = std::make_shared<HeadlessPresenter>();
    }
    return context;
}

THostPageInfo ControlContext::HostPageInfo() const {
    THostPageInfo info;
    if (hostPage) info = hostPage->Describe();
    runState->HostPageInfo = info;
    return info;
}

}  // namespace kavel
