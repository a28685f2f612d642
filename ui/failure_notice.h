#pragma once

#include <cstddef>
#include <string_view>

#include "ui/toolkit/dialog.h"

namespace quillet {

// The modal notice of a failed operation; its caller sets the caption and the message.
class FailureNotice : public Dialog {
  public:
    static constexpr std::size_t kCaptionCapacity = 50;
    static constexpr std::size_t kMessageCapacity = 150;

    FailureNotice();

    // Each copies at most what its buffer holds (49 and 149 characters), always terminated;
    // the window shows them when it is next run.
    void setCaption(std::string_view text);
    void setMessage(std::string_view text);
    // Sets both, then runs the notice modally.
    void report(std::string_view caption, std::string_view message);

  protected:
    bool doDataExchange() override;
    bool onInitDialog() override;

  private:
    StaticControl messageText_;
    char caption_[kCaptionCapacity] = {};
    char message_[kMessageCapacity] = {};
};

}  // namespace quillet
