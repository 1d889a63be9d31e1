// Display settings of preview and designer set by script, and the skin colour.
#pragma once

#include <QString>

#include "control/PrnSetup.h"
#include "control/RunState.h"
#include "platform/Variant.h"

namespace kavel {

// Applies one display key; false for a key outside the table or a value it cannot take.
bool SetShowMode(TprnSetup& setup, TRunState& run, const QString& key, const Variant& value);
// The background colour of the designer, the about box and the preview window.
TColor GetSkinColor(const TprnSetup& setup);

}  // namespace kavel
