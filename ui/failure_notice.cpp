#include "ui/failure_notice.h"

#include <algorithm>
#include <cstring>

namespace quillet {
namespace {

constexpr int kTemplateId = 131;
constexpr int kMessageControl = 1023;

template <std::size_t N>
void copyTruncated(char (&buffer)[N], std::string_view text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace

FailureNotice::FailureNotice() : Dialog(kTemplateId) {}

void FailureNotice::setCaption(std::string_view text) {
    copyTruncated(caption_, text);
}

void FailureNotice::setMessage(std::string_view text) {
    copyTruncated(message_, text);
}

bool FailureNotice::doDataExchange() {
    return bindControl(kMessageControl, messageText_);
}

bool FailureNotice::onInitDialog() {
    Dialog::onInitDialog();
    if (messageText_ != nullptr) {
        messageText_->setText(QString::fromLatin1(message_));
    }
    setWindowTitle(QString::fromLatin1(caption_));
    return true;
}

}  // namespace quillet
