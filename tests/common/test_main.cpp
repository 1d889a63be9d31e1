// Test main for every test program: an offscreen QApplication, messages recorded.
#include <gtest/gtest.h>

#include <QApplication>

#include "TestSupport.h"

namespace {
// Keeps what the caller set; else the value the tests were built for.
void Default(const char* name, const char* value) {
    if (qgetenv(name).isEmpty()) qputenv(name, value);
}
}  // namespace

int main(int argc, char** argv) {
    // The program's fonts (as kavel itself uses them), offscreen, and where the sources are.
    Default("QT_QPA_PLATFORM", "offscreen");
    Default("FONTCONFIG_FILE", KAVEL_TEST_FONTCONFIG);
    Default("KAVEL_SOURCE_DIR", KAVEL_TEST_SOURCE_DIR);
    Default("KAVEL_BINARY_DIR", KAVEL_TEST_BINARY_DIR);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // Every test starts in a world of its own.
    struct FreshWorld : ::testing::EmptyTestEventListener {
        void OnTestStart(const ::testing::TestInfo&) override { kavel::test::ResetContext(); }
    };
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshWorld);
    return RUN_ALL_TESTS();
}
