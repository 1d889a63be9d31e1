// Test main for every test program: an offscreen QApplication, messages recorded.
#include <gtest/gtest.h>

#include <QApplication>

#include "TestSupport.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    kavel::test::InstallRecorder();
    return RUN_ALL_TESTS();
}
