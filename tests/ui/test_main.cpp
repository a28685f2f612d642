#include <gtest/gtest.h>

#include <QApplication>

#include "ui/resources/resource_catalog.h"

int main(int argc, char** argv) {
    // Discovery runs the binary without the test's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    quillet::installResources(quillet::quilletResources());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
