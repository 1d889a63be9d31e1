// The preview window: panels by tool mode, captions, the status line, navigation, the first
// zoom, printing from the window, the printer setup with the program's locks, the saved
// close-after-print choices, and the preview embedded in the control's panel.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "common/TestSupport.h"
#include "control/ControlFixture.h"
#include "control/RunState.h"
#include "platform/VirtualPrinterSystem.h"
#include "render/PrevStringFormUnit.h"
#include "render/kvlPreviewUnit.h"
#include "render/kvlPrintrUnit.h"

namespace kavel {
namespace {

// A task of `pages` pages: one solid rectangle on each.
struct Task {
    explicit Task(int pages) {
        pageObject = new TModiControl(&paper);
        pageObject->SetObjectType(cdtPanel);
        for (int n = 0; n < pages; ++n) {
            auto* item = new TModiControl(&paper);
            item->SetObjectType(cdtShape);
            item->Shape()->SetShapeType(cstSolidRect);
            item->SetBounds(40, 40, 60, 30);
            item->intPageNo = n;
            items.append(item);
        }
    }
    QWidget paper;
    TModiControl* pageObject = nullptr;
    QList<TModiControl*> items;
};

class PreviewFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UsePrinters(system_ = test::MakePrinters({"Office A4", "Back Office"}));
        store_ = std::make_shared<SettingsStore>(dir_.filePath("PrintSetups_task.ini"));
        setup_.IniFile = store_;
        setup_.intSkinColor = setup_.intCustomSkinColor = ButtonFaceColor();
        setup_.strTaskName = QStringLiteral("task");
    }
    // A preview form over a task, composed for the preview.
    std::unique_ptr<TPrevStringForm> Composed(Task& task) {
        auto form = std::make_unique<TPrevStringForm>(nullptr, test::SharedContext());
        form->SetTask(task.pageObject, task.items, setup_, QImage());
        EXPECT_TRUE(form->ComposeForPreview(false));
        return form;
    }

    QString Saved(const char* key) const { return store_->Read("PRNSETUP", key); }

    QTemporaryDir dir_;
    std::shared_ptr<VirtualPrinterSystem> system_;
    std::shared_ptr<SettingsStore> store_;
    TprnSetup setup_;
};

// One character per button: '1' when it is enabled (checked, for the zoom buttons).
QString Flags(TPrevStringForm& form, std::initializer_list<const char*> names, bool checked) {
    QString flags;
    for (const char* name : names) {
        const QToolButton* button = form.ToolButton(name);
        flags += (checked ? button->isChecked() : button->isEnabled()) ? '1' : '0';
    }
    return flags;
}
QString Navigation(TPrevStringForm& form) {
    return Flags(form, {"NFirst", "NPRIOR", "NNext", "NLast"}, false);
}
QString ZoomDown(TPrevStringForm& form) {
    return Flags(form, {"bbZoomH", "bbZoomNormal", "bbZoomW"}, true);
}

TEST_F(PreviewFormTest, ToolModesChooseThePanelsAndStripsWhenTheWindowOpens) {
    struct Case {
        int toolMode;
        bool toolPanel, bootPanel;
        int stripWidth;
    };
    const Case cases[] = {
        {0, true, false, 20}, {1, false, true, 0}, {2, true, true, 20}, {3, false, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.toolMode);
        setup_.intToolMode = static_cast<uint8_t>(c.toolMode);
        setup_.intPageWidth = 2100;  // a user size: continuous form unless the strips go
        setup_.intPageHeight = 1400;
        setup_.intPreviewWidth = 640;  // else the window opens maximized
        setup_.intPreviewHeight = 480;
        Task task(1);
        auto form = Composed(task);
        EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        EXPECT_EQ(form->size(), QSize(640, 480));
        EXPECT_EQ(form->ToolPanel()->isVisible(), c.toolPanel);
        EXPECT_EQ(form->BootPanel()->isVisible(), c.bootPanel);
        TkvlViewImage* image = form->Preview()->Image();
        EXPECT_EQ(image->StripWidth(), c.stripWidth);
        const int w = qRound(form->Preview()->PageSize().width() * form->Preview()->Zoom() / 100.0);
        EXPECT_EQ(image->width(), c.stripWidth > 0 ? w + 40 : w + 2);
    }
}

TEST_F(PreviewFormTest, ButtonCaptionSplitsAtTheFirstDot) {
    const std::array<const char*, 3> cases[] = {{".确定打印", "打印预览", "确定打印"},
                                                {"确定打印", "打印预览", "确定打印"},
                                                {"销售单预览.", "销售单预览", "打印(&P)"},
                                                {"标题.按钮.二", "标题", "按钮.二"}};
    for (const auto& [text, title, button] : cases) {
        SCOPED_TRACE(text);
        TPrevStringForm form(nullptr, test::SharedContext());
        setup_.strPButtonCaption = QString::fromUtf8(text);
        form.SetTask(nullptr, {}, setup_, QImage());
        form.FormShow();
        EXPECT_EQ(form.windowTitle(), QString::fromUtf8(title));
        EXPECT_EQ(form.PrintButton()->text(), QString::fromUtf8(button));
    }
}

TEST_F(PreviewFormTest, StatusLineNamesPageCountAndPaper) {
    Task five(5);
    auto form = Composed(five);
    form->NNextClick();
    EXPECT_EQ(form->StatusPanel(1)->text(), QStringLiteral("第2页/共5页  纸张:210mm×297mm"));
    Task none(0);
    auto empty = Composed(none);
    EXPECT_EQ(empty->StatusPanel(1)->text(), QStringLiteral("第1页/共0页  纸张:210mm×297mm"));
    EXPECT_EQ(Navigation(*empty), "0000");
    EXPECT_EQ(empty->Preview()->Image()->Picture(), nullptr);
    // In the page the status names the paper only, in the panel's colour.
    test::RunState().blPreviewInBrowse = true;
    test::RunState().intPanelColor = RGBColor(10, 200, 30);
    setup_.intToolMode = 3;
    auto embedded = Composed(five);
    embedded->FormShow();
    embedded->RefreshStatus();
    EXPECT_TRUE(embedded->Embedded());
    EXPECT_EQ(embedded->Preview()->Color(), RGBColor(10, 200, 30));
    EXPECT_EQ(embedded->StatusPanel(1)->text(), QStringLiteral("纸张:210mm×297mm"));
}

TEST_F(PreviewFormTest, NavigationKeysAndButtonsWalkThePages) {
    Task task(3);
    auto form = Composed(task);
    EXPECT_EQ(Navigation(*form), "0011");
    struct Step {
        int key;  // a key, or 0 to click the button
        const char* button;
        int page;
        const char* state;
    };
    const Step steps[] = {{Qt::Key_PageDown, nullptr, 2, "1111"},
                          {0, "NNext", 3, "1100"},
                          {Qt::Key_PageDown, nullptr, 3, "1100"},
                          {Qt::Key_Home, nullptr, 1, "0011"},
                          {Qt::Key_End, nullptr, 3, "1100"},
                          {0, "NPRIOR", 2, "1111"},
                          {0, "NFirst", 1, "0011"}};
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message()
                     << "key " << s.key << " button " << (s.button ? s.button : "-"));
        if (s.key) {
            QTest::keyClick(form.get(), static_cast<Qt::Key>(s.key));
        } else {
            form->ToolButton(s.button)->click();
        }
        EXPECT_EQ(form->Preview()->PageNumber(), s.page);
        EXPECT_EQ(Navigation(*form), s.state);
    }
}

TEST_F(PreviewFormTest, DisplayModeSetsTheFirstZoomOnce) {
    const std::tuple<uint8_t, TZoomState, const char*> cases[] = {{0, cZoomHeight, "100"},
                                                                  {1, cZoom100, "010"},
                                                                  {2, cZoomWidth, "001"},
                                                                  {7, cZoom100, "010"}};
    for (const auto& [mode, state, down] : cases) {
        SCOPED_TRACE(mode);
        setup_.intDispMode = mode;
        Task task(1);
        auto form = Composed(task);
        EXPECT_EQ(form->Preview()->ZoomState(), state);
        EXPECT_EQ(ZoomDown(*form), down);
        form->bbZoomNormalClick();
        form->ComposeForPreview(false);  // a second composition keeps the user's zoom
        EXPECT_EQ(form->Preview()->ZoomState(), cZoom100);
        EXPECT_EQ(ZoomDown(*form), "010");
    }
}

TEST_F(PreviewFormTest, PrintButtonsPrintAndCloseAsChosen) {
    struct Case {
        const char* name;
        bool direct, dialogConfirms;
        bool printButton;  // PrintButton of the bottom panel, else ToolButtonPrint
        bool popMenuCheck, checkThenClose;
        int dialogs, jobs;
        bool closed;
    };
    const Case cases[] = {{"direct, stays open", true, false, false, false, true, 0, 1, false},
                          {"direct, menu closes", true, false, false, true, false, 0, 1, true},
                          {"direct, check box closes", true, false, true, false, true, 0, 1, true},
                          {"dialog confirmed", false, true, false, true, false, 1, 1, true},
                          {"dialog cancelled", false, false, true, false, true, 1, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        system_->ClearJobs();
        int dialogs = 0;
        system_->SetPrintDialogScript([&](PrintDialogValues&) {
            ++dialogs;
            return c.dialogConfirms;
        });
        setup_.blDirectPrint = c.direct;
        setup_.intToolMode = 2;
        Task task(2);
        auto form = Composed(task);
        form->FormShow();
        form->PopMenuCheck()->setChecked(c.popMenuCheck);
        form->CheckThenClose()->setChecked(c.checkThenClose);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        if (c.printButton) {
            form->PrintButton()->click();
        } else {
            form->ToolButton("ToolButtonPrint")->click();
        }
        EXPECT_EQ(dialogs, c.dialogs);
        ASSERT_EQ(static_cast<int>(system_->Jobs().size()), c.jobs);
        for (const VirtualJob& job : system_->Jobs()) EXPECT_EQ(job.pageCount, 2);
        EXPECT_EQ(form->isVisible(), !c.closed);
    }
}

TEST_F(PreviewFormTest, CloseAfterPrintIsSavedForTheTask) {
    Task task(1);
    {
        auto first = Composed(task);
        first->FormShow();
        EXPECT_FALSE(first->PopMenuCheck()->isChecked());
        first->PopMenuCheck()->trigger();  // the menu item, as the user picks it
        EXPECT_TRUE(first->PopMenuCheck()->isChecked());
        EXPECT_EQ(Saved("TPRINTOKCLOSE"), "-1");
    }
    {
        auto second = Composed(task);
        second->FormShow();
        EXPECT_TRUE(second->PopMenuCheck()->isChecked());
        second->CheckThenClose()->click();
        EXPECT_EQ(Saved("BPRINTOKCLOSE"), "-1");
        second->CheckThenCloseClick(second->PopMenuCheck());
        EXPECT_EQ(Saved("TPRINTOKCLOSE"), "0");
    }
    auto third = Composed(task);
    third->FormShow();
    EXPECT_FALSE(third->PopMenuCheck()->isChecked());
    EXPECT_TRUE(third->CheckThenClose()->isChecked());
    // The two manual duplex items mirror each other and are not saved.
    QFile::remove(store_->FileName());
    third->CheckThenCloseClick(third->PopDoubleSideCheck());
    EXPECT_TRUE(third->pop2DoubleSideCheck()->isChecked());
    third->pop2DoubleSideCheck()->trigger();
    EXPECT_FALSE(third->PopDoubleSideCheck()->isChecked());
    EXPECT_FALSE(third->pop2DoubleSideCheck()->isChecked());
    EXPECT_FALSE(QFile::exists(store_->FileName()));
}

TEST_F(PreviewFormTest, PrinterSetupSavesChoicesAndKeepsTheProgramsLocks) {
    // Messages: P printer, C copies, B size and orientation, S size, O orientation locked.
    const QMap<QChar, QString> locks = {
        {'P', QStringLiteral("目标打印机已由程序控制，无法改变！")},
        {'C', QStringLiteral("打印份数已由程序控制，无法改变！")},
        {'B', QStringLiteral("纸张大小和打印方向已由程序控制，无法改变！")},
        {'S', QStringLiteral("纸张大小已由程序控制，无法改变！")},
        {'O', QStringLiteral("打印方向已由程序控制，无法改变！")}};
    struct Case {
        int printerNo, copies, orient;
        bool sizeSet;
        int sizeBefore, orientBefore;  // the device mode of every printer before the dialog
        int choose;                    // the printer chosen in the dialog
        DeviceMode chosen;             // its device mode after the dialog
        const char *messages, *saved;  // saved: the five keys below, "-" where none is saved
    };
    const Case cases[] = {
        {-1, 0, 0, false, 9, 0, 1, {11, 0, 0, 1, 3, 2}, "", "1 3 2 11 2"},  // free choice
        {1, 2, 0, false, 9, 0, 1, {9, 0, 0, 0, 3}, "PC", "- - 1 9 0"},      // printer, copies fixed
        {-1, 2, 0, false, 9, 0, 0, {9, 0, 0, 0, 2}, "", "0 2 1 9 0"},       // fixed copies kept
        {-1, 0, 2, true, 9, 1, 0, {9, 0, 0, 0, 1}, "B", "0 1 - - 0"},       // size and orientation
        {-1, 0, 0, true, 9, 0, 0, {8, 0, 0, 1, 1}, "S", "0 1 2 - 0"},       // size fixed
        {-1, 0, 1, false, 9, 0, 0, {8, 0, 0, 1, 1}, "O", "0 1 - 8 0"},      // orientation fixed
        // A user size left as it was is no change of the fixed size.
        {-1, 0, 0, true, 256, 0, 0, {256, 0, 0, 0, 1}, "", "0 1 1 - 0"}};
    const char* keys[] = {"PRINTERINDEX", "PAPECOPIES", "PAPERORIENT", "PAPERSIZE", "PAPERSOURCE"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved);
        QFile::remove(store_->FileName());
        test::Recorder().Clear();
        DeviceMode before;
        before.paperSize = c.sizeBefore;
        before.orientation = c.orientBefore;
        for (int i = 0; i < 2; ++i) system_->SetDeviceMode(i, before);
        int opened = -2;
        system_->SetPageSetupDialogScript([&](int& printer) {
            opened = printer;
            printer = c.choose;
            system_->SetDeviceMode(printer, c.chosen);
            return true;
        });
        TPrevStringForm form(nullptr, test::SharedContext());
        TprnSetup setup = setup_;
        setup.intPrinterNo = c.printerNo;
        setup.intCopies = c.copies;
        setup.intOrient = c.orient;
        setup.blPageSizeSet = c.sizeSet;
        form.SetTask(nullptr, {}, setup, QImage());
        EXPECT_TRUE(form.PrintSetup());
        EXPECT_EQ(opened, c.printerNo > 0 ? c.printerNo - 1 : 0);
        QStringList messages;
        for (const char* m = c.messages; *m; ++m) messages.append(locks[QChar(*m)]);
        EXPECT_EQ(test::Recorder().shown, messages);
        const QStringList saved = QString(c.saved).split(' ');
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(Saved(keys[k]), saved[k] == "-" ? QString() : saved[k]) << keys[k];
        }
    }
}

TEST_F(PreviewFormTest, SetupButtonOpensOnTheSavedPrinterAndComposesAgainOnTheNewPaper) {
    store_->Write("PRNSETUP", "PRINTERINDEX", "1");
    setup_.intCopies = 4;
    int opened = -2;
    bool confirm = false;
    system_->SetPageSetupDialogScript([&](int& printer) {
        opened = printer;
        if (!confirm) return false;
        DeviceMode m = system_->GetDeviceMode(printer);
        m.paperSize = 11;  // A5
        system_->SetDeviceMode(printer, m);
        return true;
    });
    Task task(3);
    auto form = Composed(task);
    form->NLastClick();
    form->ToolButton("ToolButton2")->click();  // cancelled: nothing saved or composed
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(system_->GetDeviceMode(1).copies, 4);  // the task's copies go into the dialog
    EXPECT_TRUE(Saved("PAPERSIZE").isEmpty());
    confirm = true;
    form->ToolButton("ToolButton2")->click();
    EXPECT_EQ(Saved("PAPERSIZE"), "11");
    EXPECT_EQ(form->StatusPanel(1)->text(), QStringLiteral("第1页/共3页  纸张:148mm×210mm"));
}

// The preview embedded in the control's panel (drawn in a real page: e2e_serve).
using Embedded = test::ControlTest;

TEST_F(Embedded, APreviewInThePageReplacesTheLastOne) {
    QPointer<QWidget> previous;
    for (int run = 0; run < 2; ++run) {
        Call("PRINT_INIT", {"embedded"});
        Call("SET_SHOW_MODE", {"PREVIEW_IN_BROWSE", 1});
        Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "in the page"});
        Call("PREVIEW");
        EXPECT_TRUE(previous.isNull());  // freed with its pages
        previous = control->EmbeddedForm();
        ASSERT_NE(previous, nullptr);
        EXPECT_EQ(previous->parentWidget(), control->Panel1());
    }
    EXPECT_TRUE(printers->Jobs().empty());  // a preview prints nothing
}

TEST_F(Embedded, PreviewsWithoutADisplayOrAPrinterNeverLeaveTheControlBusy) {
    Call("PRINT_INIT", {"modal"});
    Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "x"});
    Call("PREVIEWB");  // a modal preview without a display does not wait
    EXPECT_EQ(control->EmbeddedForm(), nullptr);
    EXPECT_FALSE(Form().Busy());
    EXPECT_TRUE(test::RunState().blOutputDone);
    Call("PRINT_INIT", {"none"});
    Call("SET_SHOW_MODE", {"PREVIEW_IN_BROWSE", 1});
    Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "x"});
    test::UsePrinters(std::make_shared<VirtualPrinterSystem>());  // no printer at all
    Call("PREVIEW");
    EXPECT_FALSE(Form().Busy());
    Call("ADD_PRINT_TEXT", {10, 10, 200, 20, "next task"});
    EXPECT_EQ(Form().Items().size(), 1);
}

}  // namespace
}  // namespace kavel
