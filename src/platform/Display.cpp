#include "platform/Display.h"

#include <QGuiApplication>

namespace kavel {

bool HasDisplay() {
    const QString platform = QGuiApplication::platformName();
    return !platform.isEmpty() && platform != "offscreen" && platform != "minimal";
}

}  // namespace kavel
