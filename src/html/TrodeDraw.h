// Drawing converted trees (Trode.h) on a page: text runs, element boxes with their borders,
// pictures, and the slices of a document that runs over several pages.
#pragma once

#include <QPainter>
#include <QPoint>
#include <QRect>

#include "html/Trode.h"

namespace kavel {

// A run's text in the node's font, colour and style, in the rectangle (the browser's). `ppi`
// is the canvas's pixels per inch; `inputValue` aligns as the node says (a text input's
// value) instead of from the left.
void DrawTextRun(QPainter& canvas, const TPRNTrode& node, const QRect& r, const QString& text,
                 int ppi, bool inputValue = false);
// The node's background (unless white) and its four borders with mitred corners.
void DrawElementBox(QPainter& canvas, const TPRNTrode& node, const QRect& r);
void FillBox(QPainter& canvas, TColor color, const QRect& r);
// Wipes the inside of a text input's picture before its value is drawn.
void FillPictureInterior(QPainter& canvas, const TPRNTrode& node, const QRect& r);
// The part (0, top, PictureWidth, height) of the node's picture into `dest`.
void DrawPicturePart(QPainter& canvas, const TPRNTrode& node, int top, int height,
                     const QRect& dest);
// A table's outer box around the rows placed on a page: the ring between `frame` and the
// box grown by the table's borders and cell spacing, then the borders.
void DrawTableFrame(QPainter& canvas, const TPRNTrode& table, const QRect& frame);

// The slice [y, y + h) of a tree at `origin` of the page; pass numbers make every run and
// every part of a picture appear once per output. Answers the tree offset reached (at
// least y). Head and foot heights widen a table part's box. Without a canvas it only
// measures, marking what it would have drawn.
int DrawDocumentSlice(QPainter* canvas, TPRNTrode& node, QPoint origin, int footHeight,
                      int headHeight, int pass, int y, int h, int ppi);

}  // namespace kavel
