// The control object: readiness check, units, the colour property, events and where the
// designer shows (modal and in the page by SETUP_IN_BROWSE: test_DesignerWindow).
#include <QKeyEvent>
#include <QTest>

#include "ControlFixture.h"
#include "control/Units.h"

namespace kavel::test {
namespace {

using Control = ControlTest;

TEST_F(Control, BusyControlAnswersFalseAndDoesNothing) {
    Call("PRINT_INIT", {"task"});
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "one"});
    Form().SetBusy(true);
    EXPECT_EQ(Call("PRINT_INIT", {"other"}), Variant::Bool(false));
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "two"});
    EXPECT_EQ(Call("NewPage"), Variant::Bool(false));
    EXPECT_EQ(Call("SET_PRINT_COPIES", {3}), Variant::Bool(false));
    EXPECT_EQ(Call("PRINT"), Variant::Bool(false));
    EXPECT_EQ(Form().Items().size(), 1);
    EXPECT_EQ(Form().Setup().strTaskName, "task");
    EXPECT_EQ(Form().Setup().intCopies, 0);
    // Some members ignore the busy answer and always do their work.
    EXPECT_EQ(Call("GET_PRINTER_COUNT"), Variant::I4(2));
    EXPECT_EQ(Call("GET_PRINTER_NAME", {0}), Variant::Str("Alpha Laser"));
    EXPECT_EQ(Call("SET_PRINT_MODE", {"DOUBLE_SIDED_PRINT", 1}), Variant::Bool(true));
    EXPECT_TRUE(Form().Setup().blDoubleSided);
    Form().SetBusy(false);
}

// Controls of two pages live in worlds of their own: what one page prints, shows or sets
// never reaches the other.
TEST_F(Control, ControlsOfDifferentWorldsShareNothing) {
    auto other = std::make_shared<ControlContext>(Context());
    other->runState = std::make_shared<TRunState>();
    auto otherMessages = std::make_shared<RecordingMessages>();
    other->messages = otherMessages;
    auto otherPrinters = MakePrinters({"Gamma"});
    other->printers = otherPrinters;
    TKavelX second(other);
    auto call = [](TKavelX& c, const char* name, std::vector<Variant> args) {
        Variant result;
        EXPECT_EQ(c.Invoke(c.GetIDsOfNames(name), InvokeKind::Method, args, &result), S_OK);
        return result;
    };

    Call("PRINT_INIT", {"first page's task"});
    Call("SET_SHOW_MODE", {"PREVIEW_IN_BROWSE", 1});
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "one"});
    EXPECT_EQ(Call("PRINT"), Variant::Bool(true));
    EXPECT_EQ(call(second, "GET_PRINTER_COUNT", {}), Variant::I4(1));
    call(second, "SET_PRINTER_INDEX", {7});

    EXPECT_TRUE(RunState().blOutputDone);
    EXPECT_TRUE(RunState().blPreviewInBrowse);
    EXPECT_FALSE(other->RunState().blOutputDone);
    EXPECT_FALSE(other->RunState().blPreviewInBrowse);
    EXPECT_EQ(printers->Jobs().size(), 1u);
    EXPECT_TRUE(otherPrinters->Jobs().empty());
    EXPECT_EQ(otherMessages->shown.size(), 1);
    EXPECT_FALSE(Shown().join("|").contains("7"));
}

// An item added after an output starts a new task: test_preview_form and test_machine_printers.
TEST_F(Control, AStyleRightAfterAnOutputStartsTheNewTask) {
    Call("PRINT_INIT", {"task"});
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "first"});
    Call("PREVIEW");
    Call("SET_PRINT_STYLE", {"FontSize", 14});
    EXPECT_TRUE(Form().Items().isEmpty());
    EXPECT_FALSE(RunState().blOutputDone);
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "second"});
    EXPECT_EQ(Item(1).intDefSize(), 14);
}

TEST(Units, ScaleToScreenTruncatesTowardZero) {
    // The last two products need 64 bits; the quotients still fit.
    const std::array<int, 3> cases[] = {{96, 100, 100},
                                        {120, 100, 125},
                                        {120, -1, -1},
                                        {120, -100, -125},
                                        {144, 10, 15},
                                        {144, -7, -10},
                                        {120, 1717986918, 2147483647},
                                        {144, -1431655765, -2147483647}};
    for (const auto& [ppi, v, screen] : cases)
        EXPECT_EQ(ScaleToScreen(v, ppi), screen) << ppi << " " << v;
    EXPECT_EQ(ScaleToScript(125, 120), 100);
    EXPECT_EQ(ScaleToScript(-1, 120), 0);
    EXPECT_EQ(ScaleToScript(77, 0), 77);
}

TEST_F(Control, ColorTakesEveryColourFormAndKeepsItForEmptyText) {
    const Variant before = Get("Color");
    Put("Color", "");
    EXPECT_EQ(Get("Color"), before);
    for (const char* red : {"#F00", "rgb(255,0,0)"}) {
        Put("Color", "white");
        Put("Color", red);
        EXPECT_EQ(Get("Color"), Variant::I4(0x0000FF)) << red;
    }
    Put("Color", "not a colour");
    EXPECT_EQ(Get("Color"), Variant::I4(0x0000FF));
    Put("Color", 0x00FF00);
    EXPECT_EQ(Get("Color"), Variant::I4(0x00FF00));
}

class KeySink : public IKavelXEvents {
  public:
    HRESULT OnActivate() override { return S_OK; }
    HRESULT OnClick() override { return ++clicks, S_OK; }
    HRESULT OnCreate() override { return S_OK; }
    HRESULT OnDblClick() override { return ++doubleClicks, S_OK; }
    HRESULT OnDestroy() override { return S_OK; }
    HRESULT OnDeactivate() override { return S_OK; }
    HRESULT OnKeyPress(I2* Key) override {
        seen.append(QChar(static_cast<char16_t>(*Key)));
        if (*Key == 'a') *Key = 'b';
        return S_OK;
    }
    HRESULT OnPaint() override { return S_OK; }
    QString seen;
    int clicks = 0, doubleClicks = 0;
};

class KeyRecorder : public QWidget {
  public:
    void keyPressEvent(QKeyEvent* e) override { received += e->text(); }
    QString received;
};

TEST_F(Control, EventsReachTheSinkAndTheSinkMayChangeTheKey) {
    KeyRecorder host;
    control->setParent(&host);
    KeySink sink;
    control->SetEventSink(&sink);
    QTest::keyClicks(control.get(), "ac");
    EXPECT_EQ(sink.seen, "ac");
    EXPECT_EQ(host.received, "bc");  // the changed key is the one processed
    QTest::mouseClick(control.get(), Qt::LeftButton);
    QTest::mouseDClick(control.get(), Qt::LeftButton);
    EXPECT_GE(sink.clicks, 1);
    EXPECT_EQ(sink.doubleClicks, 1);
    control->SetEventSink(nullptr);
    control->setParent(nullptr);
}

using Designer = ControlTest;

TEST_F(Designer, ShownAsAWindowOrInThePage) {
    Call("PRINT_INIT", {"design"});
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "x"});
    Call("PRINT_SETUP");
    EXPECT_TRUE(Form().isVisible() && Form().isWindow());
    EXPECT_EQ(Form().Setup().intRunMode, 1);
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "y"});  // closes the designer first
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(Form().Items().size(), 2);
    Call("SET_SHOW_MODE", {"DESIGN_IN_BROWSE", 1});
    Call("PRINT_DESIGN");
    EXPECT_EQ(control->EmbeddedForm(), control->DesignForm());
    EXPECT_EQ(Form().parentWidget(), control->Panel1());
    EXPECT_EQ(Form().Setup().intRunMode, 2);
    // A preview in the page replaces the embedded designer but keeps the task.
    Call("SET_SHOW_MODE", {"PREVIEW_IN_BROWSE", 1});
    Call("PREVIEW");
    EXPECT_NE(control->EmbeddedForm(), control->DesignForm());
    EXPECT_TRUE(Form().isWindow());
}

}  // namespace
}  // namespace kavel::test
