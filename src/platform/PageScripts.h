// The scripts the engine runs in a page (in a world of its own, so that the page's scripts
// cannot change what they see).
#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include "platform/BrowserEngine.h"

namespace kavel {

// After the load event, or after a document was written: every picture loaded and decoded
// (lazy ones too), fonts ready. A promise.
QString SettleScript();
// The layout reader called on the body with the mirror's properties and the limits; its
// answer carries the reply that LaidOutDocument::FromReply decodes.
QString LayoutReadScript(const ReadLimits& limits);
// The reply in the layout reader's answer; empty when the answer is not in its form.
QByteArray LayoutReplyJson(const QJsonValue& answer);

}  // namespace kavel
