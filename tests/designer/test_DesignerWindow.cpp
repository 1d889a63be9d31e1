// The designer window driven with mouse and key events on the offscreen platform.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <vector>

#include "DesignerFixture.h"
#include "platform/SettingsStore.h"

namespace kavel::test {
namespace {

class Designer : public DesignerTest {
  protected:
    // Alpha at (100, 100) 200 × 30, Beta at (200, 200) 150 × 30, a rectangle at (300, 20).
    void BuildTask(const char* task = "Designer task") {
        Call("PRINT_INIT", {task});
        Call("ADD_PRINT_TEXT", {100, 100, 200, 30, "Alpha"});
        Call("ADD_PRINT_TEXT", {200, 200, 150, 30, "Beta"});
        Call("ADD_PRINT_RECT", {300, 20, 100, 50, 0, 1});
    }
    QWidget* Paper() { return Form().Paper(); }
};

TEST_F(Designer, OpensInTheModeAndWithinTheLimitsScriptSet) {
    struct Case {
        const char* member;
        const char* enables;  // SETUP_ENABLESS, or null for the default
        const char* title;
        const char* applyCaption;
        bool move, color, remove, header, pin;
        int closeTag;
    };
    const Case cases[] = {
        {"PRINT_SETUP", nullptr, "打印维护", " 应用 ", true, true, false, false, true, 1},
        {"PRINT_SETUP", "10000000000000", "打印维护", " 应用 ", true, false, false, false, true, 0},
        {"PRINT_SETUP", "01111111111111", "打印维护", " 应用 ", false, true, true, true, false, 1},
        {"PRINT_DESIGN", "00000000000000", "打印设计", " 暂存 ", true, true, true, true, true, 0},
    };
    for (const Case& c : cases) {
        BuildTask();
        if (c.enables) Call("SET_SHOW_MODE", {"SETUP_ENABLESS", c.enables});
        TDesignerWindow& d = Open(c.member);
        Click(Item(1));
        EXPECT_EQ(Form().windowTitle(), QString::fromUtf8(c.title)) << c.member;
        EXPECT_EQ(Button("ButtonApply")->text(), QString::fromUtf8(c.applyCaption));
        EXPECT_EQ(Find("ToolBarMove")->isEnabled(), c.move) << c.enables;
        EXPECT_EQ(Find<QLineEdit>("EditWidth")->isEnabled(), c.move) << c.enables;
        EXPECT_EQ(Button("SpeedColor")->isEnabled(), c.color) << c.enables;
        EXPECT_EQ(Action("NCtrlDel")->isEnabled(), c.remove) << c.enables;
        EXPECT_EQ(Find<QMenu>("NHead")->menuAction()->isEnabled(), c.header) << c.enables;
        EXPECT_EQ(!d.LockButton()->parentWidget()->isHidden(), c.pin) << c.enables;
        EXPECT_EQ(Button("CloseFormButton")->property("tag").toInt(), c.closeTag) << c.enables;
        EXPECT_EQ(Form().size(), QSize(828, 608));
        Form().close();
    }
}

TEST_F(Designer, ShowsAloneModalOrInsideThePage) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> showModes;
        bool window, visibleAfter, closeButton;
    };
    const Case cases[] = {
        {"alone", {}, true, true, false},
        {"modal", {{"SHOW_MODAL", "1"}}, true, false, false},
        {"in the page", {{"SETUP_IN_BROWSE", "true"}}, false, true, true},
        {"in the page without close button",
         {{"SETUP_IN_BROWSE", "1"}, {"SETUP_ENABLESS", "11111111111110"}},
         false,
         true,
         false},
    };
    control->show();  // the page that holds the control
    for (const Case& c : cases) {
        BuildTask();
        Call("SET_SHOW_MODE", {"SKIN_TYPE", "2"});
        for (const auto& [key, value] : c.showModes) Call("SET_SHOW_MODE", {key, value});
        Call("PRINT_SETUP");
        EXPECT_EQ(Form().isWindow(), c.window) << c.name;
        EXPECT_EQ(!Form().isHidden(), c.visibleAfter) << c.name;
        EXPECT_EQ(!Button("CloseFormButton")->isHidden(), c.closeButton) << c.name;
        EXPECT_EQ(Form().palette().color(QPalette::Window), QColor("#E6E6FA")) << c.name;
        if (c.closeButton) {
            QTest::mouseClick(Button("CloseFormButton"), Qt::LeftButton);
            EXPECT_TRUE(Form().isHidden()) << c.name;
        }
    }
}

TEST_F(Designer, ANewTaskAfterAHiddenDesignerStartsWithoutSelection) {
    BuildTask();
    TDesignerWindow& d = Open();
    Click(Item(1));
    Click(Item(2), Qt::ShiftModifier);
    Form().hide();
    BuildTask();  // frees the items the window had selected
    Open();
    EXPECT_TRUE(d.SelectList().isEmpty());
    Click(Item(2));
    EXPECT_EQ(d.SelectList(), QList<TModiControl*>{&Item(2)});
}

TEST_F(Designer, EditsWithMouseAndKeysAndStoresTheLayout) {
    BuildTask();
    TDesignerWindow& d = Open();
    EXPECT_FALSE(Button("ButtonApply")->isEnabled());

    Click(Item(1));
    EXPECT_EQ(d.SelectList(), QList<TModiControl*>{&Item(1)});
    EXPECT_EQ(d.StatusPanel(1)->text(), "X:100px/26mm  Y:100px/26mm  W:200px/52mm  H:30px/7mm  ");
    EXPECT_EQ(d.StatusPanel(0)->text(), QStringLiteral("左、上边距固定"));

    Drag(MouseTarget(Item(1)), QPoint(5, 5), QPoint(30, 0));
    EXPECT_EQ(Bounds(Item(1)), QRect(130, 100, 200, 30));
    EXPECT_TRUE(Button("ButtonApply")->isEnabled());

    // The handle on the right edge widens the item.
    Drag(Item(1).Handle(4), QPoint(3, 3), QPoint(20, 0));
    EXPECT_EQ(Bounds(Item(1)), QRect(130, 100, 220, 30));

    QWidget* keys = Item(1).EditBox();
    Key(keys, Qt::Key_Right, Qt::ControlModifier);
    Key(keys, Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier);
    Key(keys, Qt::Key_Right, Qt::AltModifier);
    Key(keys, Qt::Key_Right, Qt::NoModifier);  // without Ctrl or Alt the caret's key
    EXPECT_EQ(Bounds(Item(1)), QRect(131, 110, 225, 30));
    EXPECT_EQ(Find<QLineEdit>("EditWidth")->text(), "225");

    // Shift adds Beta; both go to the smaller left.
    Click(Item(2), Qt::ShiftModifier);
    EXPECT_EQ(d.SelectList().size(), 2);
    EXPECT_TRUE(Button("ToolBnLeftRight")->isEnabled());
    Action("NGoLeft")->trigger();
    EXPECT_EQ(Item(2).Left(), 131);
    EXPECT_EQ(Item(1).Left(), 131);

    // A plain click on a third item leaves only that one; then Beta alone becomes a footer.
    Click(Item(3));
    EXPECT_EQ(d.SelectList(), QList<TModiControl*>{&Item(3)});
    Click(Item(2));
    Action("NFootCenter")->trigger();
    EXPECT_EQ(d.StatusPanel(0)->text(), QStringLiteral("水平居中-下边距固定-页脚"));

    QTest::mouseClick(Button("ButtonApply"), Qt::LeftButton);
    EXPECT_FALSE(Button("ButtonApply")->isEnabled());
    const QString alpha = Item(1).strItemName, beta = Item(2).strItemName;
    // (The bounds as stored, and nothing of an item not changed: the e2e_designer whole run.)
    const std::pair<QString, QString> stored[] = {
        {"PRNPageType", "0"}, {"PRNFONTNAME", "宋体"}, {"PRNALIGNMENT", "0"}};
    for (const auto& [key, value] : stored)
        EXPECT_EQ(Stored(alpha, key), value) << key.toStdString();
    EXPECT_EQ(Stored(beta, "PRNPageType"), "1");
    EXPECT_EQ(Stored(beta, "PRNHorzOrnt"), "2");
    EXPECT_EQ(Stored(beta, "PRNVertOrnt"), "1");
}

TEST_F(Designer, ToolsChangeTheItemsOfTheSelectionTheyFit) {
    BuildTask();
    Open();
    Click(Item(1));
    Click(Item(2), Qt::ShiftModifier);
    for (const char* tool : {"ToolBold", "UpFontSizeButton", "TAligtCenter", "BTDown"}) {
        QTest::mouseClick(Button(tool), Qt::LeftButton);
    }
    auto* width = Find<QLineEdit>("EditWidth");
    width->setText("120");
    QTest::keyClick(width, Qt::Key_Return);
    for (int n : {1, 2}) {
        EXPECT_TRUE(Item(n).RichEdit()->FontStyle() & fsBold) << n;
        EXPECT_EQ(Item(n).RichEdit()->FontSize(), 10) << n;
        EXPECT_EQ(Item(n).RichEdit()->TextAlignment(), taCenter) << n;
        EXPECT_EQ(Bounds(Item(n)), QRect(n * 100, n * 100 + 1, 120, 30));
    }
    // A plain press on a member of the group drags the whole group.
    Drag(MouseTarget(Item(2)), QPoint(5, 5), QPoint(0, 40));
    EXPECT_EQ(Item(1).Top(), 141);
    EXPECT_EQ(Item(2).Top(), 241);
    // The mouse over a tool shows its hint in the third status panel.
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(Button("ToolDshDot"), &enter);
    EXPECT_EQ(Form().Designer()->StatusPanel(2)->text(), QStringLiteral("点线"));

    // A rectangle takes the pen tools, not the text tools.
    Click(Item(3));
    EXPECT_FALSE(Find("ToolBarBIUAL")->isEnabled());
    QTest::mouseClick(Button("ToolDshDot"), Qt::LeftButton);
    EXPECT_EQ(Item(3).Shape()->PenStyle(), psDot);
}

TEST_F(Designer, AFlatLineShowsAndCanBeTaken) {
    Call("PRINT_INIT", {"Lines"});
    Call("ADD_PRINT_LINE", {100, 50, 100, 250, 0, 1});  // horizontal: no height
    Call("ADD_PRINT_LINE", {50, 300, 150, 300, 0, 1});  // vertical: no width
    Open();
    for (int n : {1, 2}) {
        TModiControl& line = Item(n);
        QWidget* shape = MouseTarget(line);
        ASSERT_GE(std::min(shape->width(), shape->height()), 3);
        const QImage drawn = shape->grab().toImage();
        int ink = 0;
        for (int x = 0; x < drawn.width(); ++x) ink += qGray(drawn.pixel(x, 0)) < 128;
        for (int y = 0; y < drawn.height(); ++y) ink += qGray(drawn.pixel(0, y)) < 128;
        EXPECT_GT(ink, 0) << "line " << n << " is not drawn";
        Click(line, {}, QPoint(1, 1));
        EXPECT_TRUE(line.Selected()) << "line " << n;
        EXPECT_EQ(n == 1 ? line.Height() : line.Width(), 0);  // the item keeps its size
    }
}

TEST_F(Designer, ThePaperMovesOnlyWhenUnpinned) {
    BuildTask();
    TDesignerWindow& d = Open();
    Drag(Paper(), QPoint(400, 400), QPoint(30, 30));
    EXPECT_EQ(Form().PageObject()->Left(), 0);
    QTest::mouseDClick(d.LockButton(), Qt::LeftButton);
    EXPECT_FALSE(d.LockButton()->isChecked());
    Drag(Paper(), QPoint(400, 400), QPoint(30, 30));
    EXPECT_EQ(Form().PageObject()->Left(), 30);
    QTest::mouseClick(Button("ButtonApply"), Qt::LeftButton);
    EXPECT_EQ(Stored("ITEMPanelPPTL", "PRNLEFT"), "30");
}

TEST_F(Designer, TheMoveFlagStopsEveryWayOfMoving) {
    BuildTask();
    Call("SET_SHOW_MODE", {"SETUP_ENABLESS", "0"});
    Open();
    Click(Item(1));
    Drag(MouseTarget(Item(1)), QPoint(5, 5), QPoint(30, 30));
    Key(Item(1).EditBox(), Qt::Key_Right, Qt::ControlModifier);
    Key(Item(1).EditBox(), Qt::Key_Right, Qt::AltModifier);
    Drag(Item(1).Handle(5), QPoint(3, 3), QPoint(20, 20));
    EXPECT_EQ(Bounds(Item(1)), QRect(100, 100, 200, 30));
    EXPECT_FALSE(Button("ButtonApply")->isEnabled());
}

TEST_F(Designer, RubberBandSelectsTheSameEitherWay) {
    BuildTask();
    TDesignerWindow& d = Open();
    // Over Alpha's and Beta's top-left corners, not the rectangle's.
    const QPoint from(90, 90), to(260, 260);
    for (auto [start, end] : {std::pair{from, to}, std::pair{to, from}}) {
        Drag(Paper(), start, end - start, Qt::ControlModifier);
        QList<TModiControl*> selected = d.SelectList();
        std::sort(selected.begin(), selected.end());
        QList<TModiControl*> want{&Item(1), &Item(2)};
        std::sort(want.begin(), want.end());
        EXPECT_EQ(selected, want);
        EXPECT_TRUE(d.ShapeSelect()->isHidden());
    }
    // A band inside Alpha, away from its corner, selects nothing.
    Drag(Paper(), QPoint(150, 105), QPoint(40, 20), Qt::ControlModifier);
    EXPECT_TRUE(d.SelectList().isEmpty());
}

TEST_F(Designer, CtrlDraggingCopiesTheSelectionInDesignMode) {
    BuildTask();
    TDesignerWindow& d = Open("PRINT_DESIGN");
    Item(1).RichEdit()->SetTextFont("黑体", 14, fsBold, clBlack);
    Click(Item(1));
    Drag(MouseTarget(Item(1)), QPoint(5, 5), QPoint(4, 0), Qt::ControlModifier);
    EXPECT_EQ(Form().Items().size(), 3);

    Drag(MouseTarget(Item(1)), QPoint(5, 5), QPoint(20, 0), Qt::ControlModifier);
    ASSERT_EQ(Form().Items().size(), 4);
    TModiControl& copy = Item(4);
    EXPECT_EQ(copy.RichEdit()->Text(), QStringLiteral("新加文本4"));
    EXPECT_EQ(Bounds(copy), QRect(120, 100, 200, 30));
    EXPECT_EQ(copy.RichEdit()->FontName(), QStringLiteral("黑体"));
    EXPECT_EQ(copy.RichEdit()->FontSize(), 14);
    EXPECT_EQ(d.SelectList(), QList<TModiControl*>{&copy});
    EXPECT_TRUE(copy.blDesignAdded);

    // The copy is stored as any changed item; the next design starts without it.
    // Inserting goes where the paper was last pressed, kept inside the paper.
    QTest::mouseClick(Paper(), Qt::LeftButton, {}, QPoint(750, 590));
    Action("NInsertTxt")->trigger();
    ASSERT_EQ(Form().Items().size(), 5);
    EXPECT_EQ(Bounds(Item(5)), QRect(700, 540, 100, 20));
    EXPECT_EQ(Item(5).RichEdit()->Text(), QStringLiteral("新加文本5"));

    QTest::mouseClick(Button("ButtonApply"), Qt::LeftButton);
    EXPECT_EQ(Stored(copy.strItemName, "PRNLEFT"), "120");
}

TEST_F(Designer, TheItemListFollowsTheWorkAreaThroughDeletingRestoringAndClosing) {
    BuildTask();
    Call("SET_SHOW_MODE", {"SETUP_ENABLESS", "11111111100001"});
    TDesignerWindow& d = Open();
    auto* list = Find<QListWidget>("DataListBox");
    auto selectedLines = [list] {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->isSelected()) lines << list->item(i)->text();
        }
        return lines;
    };
    EXPECT_EQ(list->count(), 3);
    // Items selected on the paper select their lines; lines chosen select their items.
    Click(Item(1));
    Click(Item(3), Qt::ControlModifier);
    EXPECT_EQ(selectedLines(), QStringList({"1TEXT:Alpha", "3RECT:20,300,100,50"}));
    list->item(1)->setSelected(true);
    EXPECT_EQ(d.SelectList().size(), 3);
    Action("NSelAll")->trigger();
    EXPECT_EQ(selectedLines().size(), 3);
    QTest::mouseClick(Paper(), Qt::LeftButton, {}, QPoint(600, 500));
    EXPECT_TRUE(selectedLines().isEmpty());
    Click(Item(1));
    Click(Item(3), Qt::ControlModifier);

    Key(Find("EditFocus"), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_FALSE(Item(1).Visible());
    EXPECT_FALSE(Item(3).Visible());
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "2TEXT:Beta");
    EXPECT_TRUE(selectedLines().isEmpty());
    // (The layout's code leaves hidden items out: the e2e_code whole run.)
    // Nothing stored yet: "复原" puts the task back as script built it.
    QTest::mouseClick(Button("ButtonCancel"), Qt::LeftButton);
    EXPECT_TRUE(Item(1).Visible());
    EXPECT_EQ(list->count(), 3);

    // Closing with changes not applied asks; Cancel to both questions keeps the window.
    Click(Item(2));
    Key(Find("EditFocus"), Qt::Key_Delete, Qt::ControlModifier);
    InstallRecorder(false);
    Form().close();
    EXPECT_EQ(Recorder().questions.size(), 2);
    EXPECT_TRUE(Form().isVisible());
    // OK to the first applies the changes, then the window closes.
    InstallRecorder(true);
    Form().close();
    EXPECT_EQ(Recorder().questions.size(), 1);
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(Stored(Item(2).strItemName, "PRNINVISIBLE"), "1");
    // Nothing left to apply: the next close asks nothing.
    Open();
    Form().close();
    EXPECT_EQ(Recorder().questions.size(), 1);
}

TEST_F(Designer, AnEmptyTaskNameIsNotSaved) {
    BuildTask("");
    Open();
    Click(Item(1));
    Key(Item(1).EditBox(), Qt::Key_Right, Qt::ControlModifier);
    QTest::mouseClick(Button("ButtonApply"), Qt::LeftButton);
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown().first().startsWith(QStringLiteral("打印任务名(PrintTaskName)空")));
    EXPECT_FALSE(QFile::exists(Form().Setup().strIniFileName));
}

}  // namespace
}  // namespace kavel::test
