// Whether the process shows windows on a real display.
#pragma once

namespace kavel {

// False on Qt's offscreen and minimal platforms (tests, scripts run without --gui).
bool HasDisplay();

}  // namespace kavel
