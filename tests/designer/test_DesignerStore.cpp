// What the designer keeps: the task's layout file on apply, restore and whole restore,
// and its own window settings in CustmSetup.ini.

#include "DesignerFixture.h"
#include "designer/CustomSetup.h"
#include "platform/SettingsStore.h"

namespace kavel::test {
namespace {

class DesignerStore : public DesignerTest {
  protected:
    void BuildTask(int texts = 2) {
        Call("PRINT_INIT", {"Store task"});
        for (int i = 0; i < texts; ++i) Call("ADD_PRINT_TEXT", {20 + 30 * i, 10, 200, 24, "line"});
    }
    void Nudge(int number) {
        Click(Item(number));
        Key(Item(number).EditBox(), Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
    }
    QString LayoutFile() { return GetSettingsFileName(false, "Store task"); }
    QString Custom(const char* key) { return ReadCustomSetup("SetupInterface", key); }
};

TEST_F(DesignerStore, RestoreReadsBackOnlyTheItemsChangedSinceApply) {
    BuildTask();
    Open();
    Nudge(1);
    QTest::mouseClick(Button("ButtonApply"), Qt::LeftButton);
    Nudge(1);
    Nudge(2);
    EXPECT_EQ(Item(1).Left(), 30);
    QTest::mouseClick(Button("ButtonCancel"), Qt::LeftButton);
    EXPECT_EQ(Item(1).Left(), 20);  // as applied
    EXPECT_EQ(Item(2).Left(), 10);  // nothing stored: back to the script
    EXPECT_FALSE(Button("ButtonApply")->isEnabled());
}

TEST_F(DesignerStore, ApplyAfterTheWholeRestoreDeletesTheLayout) {
    BuildTask();
    Open();
    Nudge(1);
    QTest::mouseClick(Button("ButtonApply"), Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(LayoutFile()));
    Action("NDefAll")->trigger();
    EXPECT_EQ(Item(1).Left(), 10);
    EXPECT_FALSE(Action("NDefAll")->isEnabled());
    QTest::mouseClick(Button("ButtonApply"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(LayoutFile()));
    Form().close();
    Call("PREVIEW");
    EXPECT_EQ(Item(1).Left(), 10);
}

TEST_F(DesignerStore, TheItemListKeepsItsLayoutInCustmSetup) {
    struct Case {
        const char* name;
        QByteArray stored;  // CustmSetup.ini before opening, null for none
        int items;
        bool listShown;
    };
    const Case cases[] = {
        {"few items, nothing stored", QByteArray(), 3, false},
        {"ten items, nothing stored", QByteArray(), 10, true},
        {"stored shown", "[SetupInterface]\nSelectListVisible=1\nSelectListWidth=120\n", 2, true},
        {"stored width 0", "[SetupInterface]\nSelectListVisible=1\nSelectListWidth=0\n", 12, false},
        {"damaged width", "[SetupInterface]\nSelectListVisible=1\nSelectListWidth=wide\n", 2,
         false},
    };
    const QString file = QDir(GetSettingsFolder()).filePath("CustmSetup.ini");
    for (const Case& c : cases) {
        QFile::remove(file);
        if (!c.stored.isNull()) {
            ASSERT_TRUE(WriteFile(file, c.stored));
        }
        BuildTask(c.items);
        Open();
        EXPECT_EQ(!Find("DataListPanel")->isHidden(), c.listShown) << c.name;
        EXPECT_EQ(!Find("DataListOpen")->isHidden(), !c.listShown) << c.name;
        Form().close();
    }

    // Closing the list is kept when the window closes; opening it again comes back at 75.
    QFile::remove(file);
    BuildTask(10);
    Open();
    QTest::mouseClick(Button("CloseDataList"), Qt::LeftButton);
    Form().close();
    EXPECT_EQ(Custom("SelectListVisible"), "0");
    Open();
    EXPECT_TRUE(Find("DataListPanel")->isHidden());
    QTest::mouseClick(Button("DataListOpen"), Qt::LeftButton);
    EXPECT_FALSE(Find("DataListPanel")->isHidden());
    Form().close();
    EXPECT_EQ(Custom("SelectListVisible"), "1");
    EXPECT_EQ(Custom("SelectListWidth"), "75");
}

}  // namespace
}  // namespace kavel::test
