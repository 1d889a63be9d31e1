// The measures a page-shaped paint device gives: its size in pixels and millimetres and its
// resolution, so that drawing on it measures as on the page it stands for.
#pragma once

#include <QPaintDevice>
#include <QSize>
#include <QtMath>
#include <optional>

namespace kavel {

// The value of a size or resolution metric of a device of `pixels` at `dpi`; nothing for
// the other metrics, which the device answers itself.
inline std::optional<int> PageMetric(QPaintDevice::PaintDeviceMetric metric, QSize pixels,
                                     int dpi) {
    constexpr double kMMPerInch = 25.4;
    switch (metric) {
        case QPaintDevice::PdmWidth:
            return pixels.width();
        case QPaintDevice::PdmHeight:
            return pixels.height();
        case QPaintDevice::PdmWidthMM:
            return qRound(pixels.width() * kMMPerInch / dpi);
        case QPaintDevice::PdmHeightMM:
            return qRound(pixels.height() * kMMPerInch / dpi);
        case QPaintDevice::PdmDpiX:
        case QPaintDevice::PdmDpiY:
        case QPaintDevice::PdmPhysicalDpiX:
        case QPaintDevice::PdmPhysicalDpiY:
            return dpi;
        default:
            return std::nullopt;
    }
}

}  // namespace kavel
