// Looking at printed pages: where the ink is.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include "render/PageRecord.h"
#include "render/kvlPrintrUnit.h"

namespace kavel::test {

// The bounding box of every pixel darker than the threshold inside the area (the
// whole image when the area is empty); an empty rectangle when there is none.
inline QRect InkBounds(const QImage& image, QRect area = QRect(), int threshold = 160) {
    if (area.isEmpty()) area = image.rect();
    area &= image.rect();
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < threshold) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// A recorded page played onto a white picture of the given size.
inline QImage Replay(const RecordedPage& page, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    page.Play(painter);
    return image;
}

// Records n pages on the target, page k with a black bar 10 × k pixels wide and 10 high
// at its top left, so that a page can be told by its pixels.
inline void RecordBars(TKVPrinter& target, int n) {
    target.BeginDoc();
    for (int k = 1; k <= n; ++k) {
        target.NewPage();
        target.Canvas()->fillRect(QRect(0, 0, 10 * k, 10), Qt::black);
    }
    target.EndDoc();
}

inline bool HasInk(const QImage& image, const QRect& area) {
    return !InkBounds(image, area).isNull();
}

}  // namespace kavel::test
