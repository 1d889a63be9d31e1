#include "platform/Color.h"

#include <QGuiApplication>
#include <QPalette>

namespace kavel {

TColor ButtonFaceColor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return FromQColor(QGuiApplication::palette().color(QPalette::Button));
    }
    return RGBColor(0xF0, 0xF0, 0xF0);
}

}  // namespace kavel
