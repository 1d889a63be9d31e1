// The preview embedded in the control's panel.
#include "control/ControlFixture.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel::test {
namespace {

using Embedded = ControlTest;

TEST_F(Embedded, PreviewInBrowseComposesInsideThePanel) {
    Call("PRINT_INIT", {"embedded"});
    Call("SET_SHOW_MODE", {"PREVIEW_IN_BROWSE", 1});
    Call("SET_PREVIEW_WINDOW", {1, 3, 0, 0, 0, ""});
    Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "in the page"});
    Call("PREVIEW");
    auto* form = qobject_cast<TPrevStringForm*>(control->EmbeddedForm());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parentWidget(), control->Panel1());
    EXPECT_TRUE(form->BootPanel()->isHidden());
    EXPECT_TRUE(form->Embedded());
    ASSERT_NE(form->Target(), nullptr);
    EXPECT_EQ(form->Target()->PageCount(), 1);
    EXPECT_FALSE(Form().Busy());
    EXPECT_TRUE(RunState().blOutputDone);
    EXPECT_TRUE(printers->Jobs().empty());  // a preview prints nothing
    // The next preview replaces the embedded form.
    QPointer<QWidget> first = form;
    Call("PRINT_INIT", {"embedded"});
    Call("SET_SHOW_MODE", {"PREVIEW_IN_BROWSE", 1});
    Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "again"});
    Call("PREVIEW");
    EXPECT_TRUE(first.isNull());
    EXPECT_NE(control->EmbeddedForm(), nullptr);
}

TEST_F(Embedded, AFailingEmbeddedPreviewStillClearsTheBusyFlag) {
    Call("PRINT_INIT", {"none"});
    Call("SET_SHOW_MODE", {"PREVIEW_IN_BROWSE", 1});
    Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "x"});
    SetPrinterSystem(std::make_shared<VirtualPrinterSystem>());  // no printer at all
    Call("PREVIEW");
    EXPECT_FALSE(Form().Busy());
    Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "next task"});
    EXPECT_EQ(Form().Items().size(), 1);
}

TEST_F(Embedded, ModalPreviewWithoutADisplayDoesNotWait) {
    Call("PRINT_INIT", {"modal"});
    Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "x"});
    Call("PREVIEWB");
    EXPECT_EQ(control->EmbeddedForm(), nullptr);
    EXPECT_FALSE(Form().Busy());
    EXPECT_TRUE(RunState().blOutputDone);
}

}  // namespace
}  // namespace kavel::test
