#pragma once

#include <QString>
#include <string_view>

#include "protocol/header_record.h"
#include "ui/toolkit/dialog.h"

class QLabel;

namespace quillet {

class DropDownList;
class EditBox;

// The modal window in which the user rewrites one header line: its text, font and
// alignment. The text box only ever holds what the printer prints on one line; Apply and
// OK write the line to the printer.
class HeaderEditor : public Dialog {
    Q_OBJECT
  public:
    explicit HeaderEditor(QWidget* owner = nullptr);
    ~HeaderEditor() override;

    // Line 1 to 6, its text as the printer holds it (at most 149 characters are kept), font
    // index 0 to 6. Called before every run.
    void prepareEdit(int line, std::string_view text, int font, Alignment alignment);

  protected:
    MessageMap messageMap() const override;
    bool doDataExchange() override;
    bool onInitDialog() override;
    void onOK() override;

  private:
    enum class TextFault { None, Unprintable, TooLong };

    // Handlers.
    void onTextUpdate();
    void onFontChange();
    void onApply();

    bool applyHeader();
    void reportWriteFailure();
    TextFault findFault(const QString& text) const;
    void revertText();
    void cutTextBox(int keep);
    QString readTextBox(int maxChars) const;
    int measuringFont() const;
    QString acceptedText() const;
    void setAcceptedText(const QString& text);
    void hideWarnings();
    void fillFontList();

    QLabel* warningIcon_ = nullptr;
    QLabel* unprintableMessage_ = nullptr;
    QLabel* tooLongMessage_ = nullptr;
    EditBox* textBox_ = nullptr;
    DropDownList* fontList_ = nullptr;
    DropDownList* alignmentList_ = nullptr;

    int line_ = 1;
    Alignment alignment_ = Alignment::Center;
    int font_ = kFailedFontIndex;
    // One byte per character, as the printer stores it; always terminated.
    char acceptedText_[kHeaderTextCapacity] = {};
};

}  // namespace quillet
