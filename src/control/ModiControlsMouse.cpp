// Selecting, locking and editing an item with the mouse: the eight sizing handles, moving
// and sizing by drag, and folding back a negative size.
#include <QMouseEvent>
#include <cstdlib>

#include "control/ModiControls.h"

namespace kavel {

namespace {

// Handle cursors in handle order: corners size diagonally, edge centres along one axis.
constexpr Qt::CursorShape kHandleCursors[8] = {
    Qt::SizeFDiagCursor, Qt::SizeHorCursor,   Qt::SizeBDiagCursor, Qt::SizeBDiagCursor,
    Qt::SizeHorCursor,   Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeVerCursor,
};

// How a drag by (dx, dy) changes left, top, width and height; row 8 is the item itself.
struct DragFactors {
    int left, top, width, height;  // each multiplies dx (left, width) or dy (top, height)
};
constexpr DragFactors kDragFactors[9] = {
    {1, 1, -1, -1},  // 0: top-left corner
    {1, 0, -1, 0},   // 1: left edge
    {1, 0, -1, 1},   // 2: bottom-left corner
    {0, 1, 1, -1},   // 3: top-right corner
    {0, 0, 1, 0},    // 4: right edge
    {0, 0, 1, 1},    // 5: bottom-right corner
    {0, 1, 0, -1},   // 6: top edge
    {0, 0, 0, 1},    // 7: bottom edge
    {1, 1, 0, 0},    // the item itself
};

// Small movements are collected until they exceed this many pixels on either axis.
constexpr int kDragThreshold = 4;

}  // namespace

TDragPoint* TModiControl::Handle(int i) const {
    if (i < 0 || i >= static_cast<int>(handles_.size())) return nullptr;
    return handles_[i].data();
}

void TModiControl::setSelected(bool on) {
    selected_ = on;
    if (on) {
        CreateHandles();
    } else {
        NormalizeSize();
    }
    ApplyCursors();
    PlaceHandles();
    emit OnSelect(this, on);
}

void TModiControl::setPermitDrag(bool locked) {
    permitDrag_ = locked;
    ApplyCursors();
}

void TModiControl::CreateHandles() {
    if (handlesCreated_) return;
    for (auto& handle : handles_) {
        handle = new TDragPoint(parentWidget());
        handle->installEventFilter(this);
        handle->setMouseTracking(true);
    }
    handlesCreated_ = true;
}

void TModiControl::ApplyCursors() {
    if (selected_) {
        setCursor(Qt::SizeAllCursor);
    } else {
        unsetCursor();
    }
    if (auto* edit = EditBox()) {
        // The edit's own cursor lives on its viewport, where the mouse actually is.
        edit->viewport()->setCursor(selected_ ? Qt::SizeAllCursor : Qt::IBeamCursor);
    } else if (dataObject_) {
        if (selected_) {
            dataObject_->setCursor(Qt::SizeAllCursor);
        } else {
            dataObject_->unsetCursor();
        }
    }
    for (int i = 0; i < static_cast<int>(handles_.size()); ++i) {
        if (!handles_[i]) continue;
        handles_[i]->setCursor(permitDrag_ ? Qt::ArrowCursor : kHandleCursors[i]);
    }
}

void TModiControl::PlaceHandles() {
    if (!handlesCreated_) return;
    const int s = kHandleSize;
    // Integer division truncates toward zero, also for items smaller than a handle.
    const int midX = left_ + (width_ - s) / 2;
    const int midY = top_ + (height_ - s) / 2;
    const QPoint positions[8] = {
        {left_ - s, top_ - s},      {left_ - s, midY},      {left_ - s, top_ + height_},
        {left_ + width_, top_ - s}, {left_ + width_, midY}, {left_ + width_, top_ + height_},
        {midX, top_ - s},           {midX, top_ + height_},
    };
    QWidget* paper = parentWidget();
    for (int i = 0; i < 8; ++i) {
        TDragPoint* handle = handles_[i];
        if (!handle) continue;
        if (handle->parentWidget() != paper) handle->setParent(paper);
        handle->move(positions[i]);
        const bool show = selected_ && paper != nullptr;
        handle->setVisible(show);
        if (show) handle->raise();
    }
    ApplyCursors();
}

void TModiControl::NormalizeSize() {
    int left = left_, top = top_, width = width_, height = height_;
    int flips = 0;
    if (width < 0) {
        left += width;
        width = -width;
        ++flips;
    }
    if (height < 0) {
        top += height;
        height = -height;
        ++flips;
    }
    if (flips == 0) return;
    // A line keeps its ends: mirroring it on one axis turns an up line into a down line.
    if (auto* shape = Shape(); shape && flips == 1) {
        if (shape->ShapeType() == cstUpLine) {
            shape->SetShapeType(cstDownLine);
        } else if (shape->ShapeType() == cstDownLine) {
            shape->SetShapeType(cstUpLine);
        }
    }
    SetBounds(left, top, width, height);
}

// ---------------------------------------------------------------- mouse

QObject* TModiControl::MouseSource(QObject* watched) const {
    // A text edit receives its mouse events on its viewport; they count as the edit's.
    if (auto* edit = EditBox(); edit && watched == edit->viewport()) return edit;
    return watched;
}

bool TModiControl::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return MousePress(MouseSource(watched), static_cast<QMouseEvent*>(event));
        case QEvent::MouseMove:
            return MouseMove(MouseSource(watched), static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease:
            return MouseRelease(MouseSource(watched), static_cast<QMouseEvent*>(event));
        default:
            return QWidget::eventFilter(watched, event);
    }
}

bool TModiControl::MousePress(QObject* source, QMouseEvent* e) {
    NormalizeSize();
    emit onMouseDown(this, e);
    dragSource_ = source;
    pressPoint_ = e->globalPosition().toPoint();
    lastPoint_ = pressPoint_;
    // The inner control still handles its own clicks (caret placement in a text item).
    return false;
}

bool TModiControl::MouseMove(QObject* source, QMouseEvent* e) {
    const bool onlyLeft =
        e->buttons() == Qt::LeftButton &&
        !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (selected_ && !permitDrag_ && onlyLeft && source && source == dragSource_) {
        const QPoint now = e->globalPosition().toPoint();
        const int dx = now.x() - lastPoint_.x();
        const int dy = now.y() - lastPoint_.y();
        if (std::abs(dx) > kDragThreshold || std::abs(dy) > kDragThreshold) {
            lastPoint_ = now;
            int handle = 8;
            for (int i = 0; i < 8; ++i) {
                if (handles_[i] && source == handles_[i]) handle = i;
            }
            const DragFactors& f = kDragFactors[handle];
            const int dLeft = f.left * dx, dTop = f.top * dy;
            const int dWidth = f.width * dx, dHeight = f.height * dy;
            SetBounds(left_ + dLeft, top_ + dTop, width_ + dWidth, height_ + dHeight);
            if (handle < 8) PlaceHandles();
            emit onModied(this, dLeft, dTop, dWidth, dHeight);
        }
    }
    emit onMouseMove(this, e);
    return false;
}

bool TModiControl::MouseRelease(QObject*, QMouseEvent* e) {
    NormalizeSize();
    PlaceHandles();
    emit onMouseUp(this, e);
    return false;
}

}  // namespace kavel
