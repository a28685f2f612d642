#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/win32/emulator_client.h"

namespace quillet::wine {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The arguments gtest left, for testOption("--name=") to find "--name=value" in.
void keepTestArguments(int argc, char** argv);
// The value, or empty when the option was not given.
std::string testOption(const std::string& prefix);

// Wine answers to ntdll's wine_get_version; Windows has no such export.
bool runningUnderWine();

// Checks that only Windows can make. Wine differs there; the reason is the message.
#define SKIP_UNDER_WINE(why)                       \
    do {                                           \
        if (::quillet::wine::runningUnderWine()) { \
            GTEST_SKIP() << "Wine: " << why;       \
        }                                          \
    } while (false)

// Opens a device as a second holder would: exclusive, overlapped, like openPort.
HANDLE openDevice(const char* name);

// Leaves the port's driver with settings unlike the printer's (7E2 at 2400 baud, every
// kind of flow control, error replacement, null stripping), as another program might.
void spoilDriverSettings(const char* name);

// Sends a request that a real device may not support (the device vanishing); skips the
// test when the runner says it cannot, fails it on any other refusal.
#define REQUEST_OR_SKIP(line)                                    \
    do {                                                         \
        std::string why_;                                        \
        if (!::quillet::wine::emulator().request(line, &why_)) { \
            if (why_.rfind("unsupported", 0) == 0) {             \
                GTEST_SKIP() << why_;                            \
            }                                                    \
            FAIL() << why_;                                      \
        }                                                        \
    } while (false)

// The line taken within the limit, or "<no line>".
std::string takeLineWithin(std::chrono::milliseconds limit, std::size_t capacity = 80);

template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = 5s) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Only while no reader runs.
void emptyReceiveRing();

// Every test here runs against the emulator behind COM1, from a fresh state.
class EmulatorTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace quillet::wine
