#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

// Each test makes its own application object, as the program does.
int main(int argc, char** argv) {
    // Discovery runs the binary without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
