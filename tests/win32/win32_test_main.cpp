// The Win32 test programs. Under Wine, quillet_wine_runner starts this program with
// --kv31-control=HOST:PORT, the emulator behind COM1; without it, only the tests that
// need no printer run.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/win32/emulator_client.h"
#include "tests/win32/win32_test_support.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    quillet::wine::keepTestArguments(argc, argv);
    constexpr char kControl[] = "--kv31-control=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kControl, sizeof kControl - 1) != 0) {
            continue;
        }
        std::string answer;
        quillet::wine::EmulatorClient& emulator = quillet::wine::emulator();
        if (!emulator.connect(argv[i] + sizeof kControl - 1, answer) ||
            !emulator.request("hello", &answer)) {
            // No test may open a port that might not be the emulator's.
            std::fprintf(stderr, "no emulator behind COM1: %s\n", answer.c_str());
            return 1;
        }
        std::printf("COM1 leads to the emulator on %s%s\n", answer.c_str(),
                    quillet::wine::runningUnderWine() ? " (under Wine)" : "");
    }
    return RUN_ALL_TESTS();
}
