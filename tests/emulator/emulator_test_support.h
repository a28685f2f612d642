#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "emulator/kv31_emulator.h"
#include "terminal_client.h"

namespace kv31test {

using namespace std::chrono_literals;

// The reply of a header query as the printer sends it, line ends CR LF.
inline std::string reply(int line, const std::string& font, const std::string& fourthLine) {
    return "Header " + std::to_string(line) + "\r\nfont:    " + font + "\r\ntext: \r\n" +
           fourthLine + "\r\n";
}

// A started emulator, unpaced, with a client on its slave side.
class EmulatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        emulator.setPacing(false);
        ASSERT_TRUE(emulator.start());
        client = std::make_unique<TerminalClient>(emulator.devicePath());
        ASSERT_TRUE(client->isOpen());
    }

    // Sends a query and takes as many bytes as the expected reply has.
    std::string ask(const std::string& query, std::size_t expectedSize) {
        EXPECT_TRUE(client->write(query));
        return client->read(expectedSize, 3s);
    }

    // Sends bytes and waits until the emulator has taken all of them.
    void tell(const std::string& bytes) {
        const std::size_t before = emulator.received().size();
        ASSERT_TRUE(client->write(bytes));
        ASSERT_TRUE(emulator.waitForReceived(before + bytes.size(), 3s));
    }

    kv31::Emulator emulator;
    std::unique_ptr<TerminalClient> client;
};

}  // namespace kv31test
