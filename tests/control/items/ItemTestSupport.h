// Helpers for the item tests: a paper to put items on and real mouse events with
// global positions.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <array>

#include "control/ModiControls.h"

namespace kavel::test {

// The widget of an item that receives its mouse events: a text edit's viewport, else the
// inner control itself.
inline QWidget* MouseTarget(TModiControl* item) {
    if (auto* edit = item->EditBox()) return edit->viewport();
    return item->DataObject();
}

// Sends one mouse event to w with the cursor at the given screen position.
inline void SendMouse(QWidget* w, QEvent::Type type, QPoint global, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF local = w->mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, local, QPointF(global), button, buttons, modifiers);
    QApplication::sendEvent(w, &event);
}

inline void Press(QWidget* w, QPoint global, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = {}) {
    SendMouse(w, QEvent::MouseButtonPress, global, button, button, modifiers);
}

inline void MoveTo(QWidget* w, QPoint global, Qt::MouseButtons buttons = Qt::LeftButton,
                   Qt::KeyboardModifiers modifiers = {}) {
    SendMouse(w, QEvent::MouseMove, global, Qt::NoButton, buttons, modifiers);
}

inline void Release(QWidget* w, QPoint global, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseButtonRelease, global, button, Qt::NoButton);
}

// A press at start, one move to start + delta, and the release there.
inline void Drag(QWidget* w, QPoint start, QPoint delta) {
    Press(w, start);
    MoveTo(w, start + delta);
    Release(w, start + delta);
}

// A paper panel with items on it; shown on the offscreen screen unless a test hides it.
class PaperTest : public ::testing::Test {
  protected:
    void SetUp() override {
        paper_.resize(1200, 900);
        paper_.show();
    }

    TModiControl* NewItem(TPRNDataType kind, int left, int top, int width, int height) {
        auto* item = new TModiControl(&paper_);
        item->SetObjectType(kind);
        item->setIntDefLeft(left);
        item->setIntDefTop(top);
        item->setIntDefWidth(width);
        item->setIntDefHeight(height);
        item->blModified = false;
        return item;
    }

    // Left, top, width, height (width and height may be negative during a drag).
    static std::array<int, 4> Bounds(const TModiControl* item) {
        return {item->Left(), item->Top(), item->Width(), item->Height()};
    }

    QWidget paper_;
};

}  // namespace kavel::test
