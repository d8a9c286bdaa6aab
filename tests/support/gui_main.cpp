#include "ui/FormStyle.h"

#include <QApplication>
#include <gtest/gtest.h>

// Form tests run headless; the test environment sets QT_QPA_PLATFORM=offscreen.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    orvj::installFormStyle();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
