// The dispatch table, late binding and early binding of the control's interface.
#include <QSet>

#include "ControlFixture.h"

namespace kavel::test {
namespace {

TEST(DispatchTable, VtableOrderAndUniqueDispids) {
    const auto& table = IKavelXTable();
    ASSERT_FALSE(table.empty());
    const int base = table.front().vtableIndex;
    QSet<int> methods;
    for (size_t i = 0; i < table.size(); ++i) {
        const MemberInfo& m = table[i];
        EXPECT_EQ(m.vtableSlot, static_cast<int>(i));
        EXPECT_EQ(m.vtableIndex - base, m.vtableSlot) << m.name.toStdString();
        if (m.kind == InvokeKind::PropertyPut) continue;
        EXPECT_FALSE(methods.contains(m.dispid)) << m.name.toStdString();
        methods.insert(m.dispid);
    }
    // Border and Inbrowse open the interface; NewPage closes it.
    EXPECT_EQ(table[0].name, "Border");
    EXPECT_EQ(table[1].kind, InvokeKind::PropertyPut);
    EXPECT_EQ(table.back().name, "NewPage");
    EXPECT_EQ(FindDispid("PRINT_INIT"), 264);
    EXPECT_EQ(FindDispid("Version"), 202);
    EXPECT_EQ(IKavelXEventsTable().size(), 8u);
}

using Dispatch = ControlTest;

// Late binding (Invoke by dispid) is what every Call of these tests takes.
TEST_F(Dispatch, EarlyBindingReachesTheSameMethodAndTheResultMayBeLeftOut) {
    Call("PRINT_INIT", {"late"});
    Call("ADD_PRINT_TEXT", {10, 10, 100, 20, "x"});
    IKavelX& early = *control;
    Variant result;
    ASSERT_EQ(early.PRINT_INIT(Variant("early"), &result), S_OK);
    EXPECT_EQ(result, Variant::Bool(true));
    EXPECT_EQ(Form().Setup().strTaskName, "early");
    EXPECT_TRUE(Form().Items().isEmpty());
    EXPECT_EQ(control->Invoke(264, InvokeKind::Method, {Variant("no result")}, nullptr), S_OK);
    EXPECT_EQ(Form().Setup().strTaskName, "no result");
    EXPECT_EQ(control->Invoke(FindDispid("Version"), InvokeKind::PropertyGet, {}, nullptr), S_OK);
}

TEST_F(Dispatch, WrongArgumentsFailTheCallWithAClearError) {
    Variant result;
    QString error;
    EXPECT_EQ(
        control->Invoke(225, InvokeKind::Method, {Variant("ten"), 1, 1, 1, "x"}, &result, &error),
        DISP_E_TYPEMISMATCH);
    EXPECT_EQ(error,
              "ADD_PRINT_TEXT: the parameter intTop takes a whole number from -2147483648 "
              "to 2147483647, not \"ten\"");
    EXPECT_EQ(control->Invoke(999, InvokeKind::Method, {}, &result, &error), DISP_E_MEMBERNOTFOUND);
    // Missing arguments are an error, as a call without them cannot mean anything; only
    // trailing optional VARIANTs may be left out.
    EXPECT_EQ(control->Invoke(225, InvokeKind::Method, {5}, &result, &error), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(error, "ADD_PRINT_TEXT takes 5 argument(s), 1 given");
    EXPECT_EQ(control->Invoke(FindDispid("ADD_PRINT_SHAPE"), InvokeKind::Method,
                              {2, 10, 10, 50, 50, 0, 1}, &result, &error),
              S_OK);
    EXPECT_EQ(Form().Items().size(), 1);  // the shape only
    // Local services answer their status texts: a relative file name is never granted.
    EXPECT_EQ(control->Invoke(FindDispid("WRITE_FILE_TEXT"), InvokeKind::Method, {0, "a.txt", "x"},
                              &result, &error),
              S_OK);
    EXPECT_EQ(result, Variant("do nothing"));
}

}  // namespace
}  // namespace kavel::test
