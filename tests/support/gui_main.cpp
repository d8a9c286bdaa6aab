#include "ui/FormStyle.h"

#include <QApplication>
#include <gtest/gtest.h>

// Form tests run headless; the test environment sets QT_QPA_PLATFORM=offscreen. Listing the
// cases (--gtest_list_tests, as ctest does before a run) needs no window system at all.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    orvj::installFormStyle();
    return RUN_ALL_TESTS();
}
