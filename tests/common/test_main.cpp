// Test main for every test program: an offscreen QApplication, messages recorded.
#include <gtest/gtest.h>

#include <QApplication>

#include "TestSupport.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // Every test starts in a world of its own.
    struct FreshWorld : ::testing::EmptyTestEventListener {
        void OnTestStart(const ::testing::TestInfo&) override { kavel::test::ResetContext(); }
    };
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshWorld);
    return RUN_ALL_TESTS();
}
