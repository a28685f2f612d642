#include "emulator/command_gatherer.h"

namespace kv31 {

CommandGatherer::Step CommandGatherer::take(char c) {
    if (ended_) {
        clear();
    }
    if (c != '\n') {
        if (command_.size() < kMaxCommandBytes) {
            command_ += c;
        } else {
            tooLong_ = true;
        }
        return Step::Gathering;
    }
    ended_ = true;
    if (tooLong_) {
        return Step::TooLong;
    }
    if (!command_.empty() && command_.back() == '\r') {
        command_.pop_back();
    }
    return Step::Command;
}

void CommandGatherer::clear() {
    command_.clear();
    tooLong_ = false;
    ended_ = false;
}

}  // namespace kv31
