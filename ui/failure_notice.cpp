#include "ui/failure_notice.h"

#include <algorithm>
#include <cstring>

#include "ui/resources/resource_ids.h"

namespace quillet {
namespace {

template <std::size_t N>
void copyTruncated(char (&buffer)[N], std::string_view text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace

FailureNotice::FailureNotice() : Dialog(kFailureNoticeId) {}

void FailureNotice::setCaption(std::string_view text) {
    copyTruncated(caption_, text);
}

void FailureNotice::setMessage(std::string_view text) {
    copyTruncated(message_, text);
}

void FailureNotice::report(std::string_view caption, std::string_view message) {
    setCaption(caption);
    setMessage(message);
    runModal();
}

bool FailureNotice::doDataExchange() {
    return bindControl(control::kFailureMessage, messageText_);
}

bool FailureNotice::onInitDialog() {
    Dialog::onInitDialog();
    messageText_.setText(message_);
    Dialog::setCaption(caption_);
    return true;
}

}  // namespace quillet
