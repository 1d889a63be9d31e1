// The scripts the engine runs in a page (in a world of its own, so that the page's scripts
// cannot change what they see).
#pragma once

#include <QString>

#include "platform/BrowserEngine.h"

namespace kavel {

// After the load event, or after a document was written: every picture loaded and decoded
// (lazy ones too), fonts ready. A promise.
QString SettleScript();
// The layout reader called on the body with the mirror's properties and the limits; it
// returns the reply that LaidOutDocument::FromReply decodes.
QString LayoutReadScript(const ReadLimits& limits);

}  // namespace kavel
