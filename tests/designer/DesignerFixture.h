// A control whose task the tests build through the members, opened in the designer on
// the offscreen platform; the window's widgets are found by their object names.
#pragma once

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include "control/ControlFixture.h"
#include "control/items/ItemTestSupport.h"
#include "designer/DesignerWindow.h"
#include "platform/WindowPresenter.h"

namespace kavel::test {

class DesignerTest : public ControlTest {
  protected:
    void SetUp() override {
        ControlTest::SetUp();
        UsePresenter(std::make_shared<HeadlessPresenter>());
    }
    void TearDown() override {
        if (control && control->DesignForm()) control->DesignForm()->CloseWithoutQuestions();
    }

    // Opens the task in the designer: setup (PRINT_SETUP) or design (PRINT_DESIGN) mode.
    TDesignerWindow& Open(const char* member = "PRINT_SETUP") {
        Call(member);
        EXPECT_TRUE(Form().isVisible());
        return *Form().Designer();
    }
    // A component of the window by its name.
    template <class T = QWidget>
    T* Find(const char* name) {
        T* found = Form().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QToolButton* Button(const char* name) { return Find<QToolButton>(name); }
    QAction* Action(const char* name) { return Find<QAction>(name); }
    static QWidget* MouseTarget(TModiControl& item) { return test::MouseTarget(&item); }
    void Click(TModiControl& item, Qt::KeyboardModifiers mods = {}, QPoint at = QPoint(5, 5)) {
        QTest::mouseClick(MouseTarget(item), Qt::LeftButton, mods, at);
    }
    // Presses at `at` inside the widget, moves by `by` with the button and keys held, as a
    // real mouse sends it, and releases.
    void Drag(QWidget* w, QPoint at, QPoint by, Qt::KeyboardModifiers mods = {}) {
        QTest::mousePress(w, Qt::LeftButton, mods, at);
        QMouseEvent move(QEvent::MouseMove, at + by, w->mapToGlobal(at + by), Qt::NoButton,
                         Qt::LeftButton, mods);
        QApplication::sendEvent(w, &move);
        QTest::mouseRelease(w, Qt::LeftButton, mods, at + by);
    }
    // Keys go where the designer sends them: the text item's edit or EditFocus.
    void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods) {
        QTest::keyClick(target, key, mods);
    }
    QString Stored(const QString& section, const QString& key) {
        return SettingsStore(Form().Setup().strIniFileName).Read(section, key);
    }
};

}  // namespace kavel::test
