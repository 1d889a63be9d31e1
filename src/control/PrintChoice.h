// The effective printer and paper of a print: the task's own settings, else the
// user's choices saved for the task.
#pragma once

#include "control/ControlContext.h"
#include "control/PrnSetup.h"

namespace kavel {

// The printer number to print on: -1 the default printer, -2 none (reported).
int GetPrintPrinter(const ControlContext& context, const TprnSetup& setup);
// Printer, copies, orientation and paper; raises KavelError when a saved choice is no
// integer.
TPrintPaper GetPrintPaper(const ControlContext& context, const TprnSetup& setup);
// The page target's options from the effective settings.
TPrintOption PrintOptionOf(const ControlContext& context, const TprnSetup& setup);

}  // namespace kavel
