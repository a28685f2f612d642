#pragma once

#include <string>
#include <string_view>

#include "protocol/header_record.h"
#include "protocol/header_text_rules.h"
#include "ui/toolkit/dialog.h"

namespace quillet {

// The modal window in which the user rewrites one header line: its text, font and
// alignment. The text box only ever holds what the printer prints on one line (the rules
// are in header_text_rules.h); Apply and OK write the line to the printer.
class HeaderEditor : public Dialog {
  public:
    explicit HeaderEditor(Dialog* owner = nullptr);

    // Line 1 to 6, its text as the printer holds it (at most 149 characters are kept), font
    // index 0 to 6. Called before every run.
    void prepareEdit(int line, std::string_view text, int font, Alignment alignment);

  protected:
    MessageMap messageMap() const override;
    bool doDataExchange() override;
    bool onInitDialog() override;
    void onOK() override;

  private:
    // Handlers
    void onTextUpdate();
    void onFontChange();
    void onApply();

    bool applyHeader();
    void reportWriteFailure();
    void revertText();
    void cutTextBox(const LineCut& cut);
    std::string readTextBox(int maxChars) const;
    int currentFont() const;
    std::string_view acceptedText() const { return acceptedText_; }
    void setAcceptedText(std::string_view text);
    void hideWarnings();
    void fillFontList();

    StaticControl warningIcon_;
    StaticControl unprintableMessage_;
    StaticControl tooLongMessage_;
    EditControl textBox_;
    DropDownControl fontList_;
    DropDownControl alignmentList_;

    int line_ = 1;
    Alignment alignment_ = Alignment::Center;
    int font_ = kFailedFontIndex;
    // One byte per character, as the printer stores it; always terminated.
    char acceptedText_[kHeaderTextCapacity] = {};
};

}  // namespace quillet
