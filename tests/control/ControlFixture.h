// A control on the virtual printer system with two printers, a temporary settings
// folder and a message recorder; members are called by name through Invoke. Every test
// starts in a world of its own (test_main), so nothing needs putting back.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "common/TestSupport.h"
#include "control/RunState.h"
#include "control/VelloImpl1.h"
#include "designer/PSetupFormUnit.h"
#include "platform/PrinterSystem.h"
#include "platform/VirtualPrinterSystem.h"

namespace kavel::test {

class ControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UsePrinters(printers = MakePrinters({"Alpha Laser", "Beta Ink"}, 1));
        SetDialogPolicy(DialogAnswer::Ok);
        control = std::make_unique<TKavelX>(test::SharedContext());
        control->SetPixelsPerInch(96);
    }
    // Calls a member by name through the late-bound path; fails the test on an error.
    Variant Call(const char* name, std::initializer_list<Variant> args = {}) {
        Variant result;
        QString error;
        const HRESULT hr = control->Invoke(control->GetIDsOfNames(name), InvokeKind::Method,
                                           std::vector<Variant>(args), &result, &error);
        EXPECT_EQ(hr, S_OK) << name << ": " << error.toStdString();
        return result;
    }
    Variant Get(const char* name) {
        Variant result;
        EXPECT_EQ(
            control->Invoke(control->GetIDsOfNames(name), InvokeKind::PropertyGet, {}, &result),
            S_OK);
        return result;
    }
    void Put(const char* name, const Variant& value) {
        EXPECT_EQ(control->Invoke(control->GetIDsOfNames(name), InvokeKind::PropertyPut, {value},
                                  nullptr),
                  S_OK);
    }
    TPSetupForm& Form() { return *control->DesignForm(); }
    TModiControl& Item(int number) { return *Form().ItemAt(number); }
    static QRect Bounds(const TModiControl& item) {
        return QRect(item.Left(), item.Top(), item.Width(), item.Height());
    }
    QStringList Shown() const { return Recorder().shown; }

    ScopedSettingsFolder settings;
    std::shared_ptr<VirtualPrinterSystem> printers;
    std::unique_ptr<TKavelX> control;
};

}  // namespace kavel::test
