#include "ui/header_editor.h"

#include <algorithm>
#include <cstring>

#include "link/serial_port.h"
#include "protocol/header_text_rules.h"
#include "protocol/header_write.h"
#include "protocol/printer_font.h"
#include "ui/failure_notice.h"
#include "ui/resources/resource_ids.h"

namespace quillet {
namespace {

constexpr char kFailureCaption[] = "Communication Failure";
constexpr char kFailureMessage[] =
    "An error occurred while writing the header to the printer. Please try again.";

// Selects without the user-change notification, and shows that entry first when open.
void selectQuietly(DropDownControl& list, int position) {
    list.setCurrentSelection(position);
    list.setTopIndex(position);
}

}  // namespace

HeaderEditor::HeaderEditor(Dialog* owner) : Dialog(kHeaderEditorId, owner) {}

void HeaderEditor::prepareEdit(int line, std::string_view text, int font, Alignment alignment) {
    line_ = line;
    font_ = font;
    alignment_ = alignment;
    setAcceptedText(text);
}

Dialog::MessageMap HeaderEditor::messageMap() const {
    static const MessageEntry kMap[] = {
        {control::kFontList, Notification::SelectionChanged, handler(&HeaderEditor::onFontChange)},
        {control::kTextBox, Notification::TextUpdated, handler(&HeaderEditor::onTextUpdate)},
        {control::kApply, Notification::Clicked, handler(&HeaderEditor::onApply)},
    };
    return kMap;
}

bool HeaderEditor::doDataExchange() {
    const bool bound[] = {
        bindControl(control::kWarningIcon, warningIcon_),
        bindControl(control::kUnprintableMessage, unprintableMessage_),
        bindControl(control::kTooLongMessage, tooLongMessage_),
        bindControl(control::kTextBox, textBox_),
        bindControl(control::kFontList, fontList_),
        bindControl(control::kAlignmentList, alignmentList_),
    };
    return std::all_of(std::begin(bound), std::end(bound), [](bool b) { return b; });
}

bool HeaderEditor::onInitDialog() {
    if (!updateData()) {
        endDialog(kIdCancel);
        return false;
    }
    fillFontList();
    setCaption("Header Message #" + std::to_string(line_));
    selectQuietly(alignmentList_, static_cast<int>(alignment_));
    selectQuietly(fontList_, font_);
    textBox_.setText(acceptedText());
    hideWarnings();
    return true;
}

void HeaderEditor::onOK() {
    onApply();
    endDialog(kIdOk);
}

void HeaderEditor::fillFontList() {
    fontList_.resetContent();
    for (const PrinterFont& font : kPrinterFonts) {
        fontList_.addString(font.listName);
    }
}

void HeaderEditor::onTextUpdate() {
    hideWarnings();
    const std::string text = readTextBox(kTextBufferReadLimit);
    const TextFault fault = findTextFault(text, acceptedText(), currentFont());
    if (fault == TextFault::None) {
        setAcceptedText(text);
        return;
    }
    // The revert's own update runs the check again, nested, and takes the accepted text.
    revertText();
    StaticControl& message =
        fault == TextFault::Unprintable ? unprintableMessage_ : tooLongMessage_;
    message.show(true);
    warningIcon_.show(true);
    message.announce();
}

// Replaces the whole content by the accepted text, with no undo; the caret ends after it.
void HeaderEditor::revertText() {
    const std::string accepted(acceptedText());
    textBox_.setSelection(0, -1);
    textBox_.replaceSelection(accepted);
}

// Each deletion raises the text check, which takes the narrower text.
void HeaderEditor::cutTextBox(const LineCut& cut) {
    if (cut.first > 0) {
        textBox_.setSelection(0, static_cast<int>(cut.first));
        textBox_.clearSelection();
    }
    textBox_.setSelection(static_cast<int>(cut.count), -1);
    textBox_.clearSelection();
}

void HeaderEditor::onFontChange() {
    hideWarnings();
    const std::string text = readTextBox(kTextBufferReadLimit);
    const auto cut = lineCut(currentFont(), text);
    if (!cut) {
        return;
    }
    cutTextBox(*cut);
    warningIcon_.show(true);
    tooLongMessage_.show(true);
    tooLongMessage_.announce();
    setAcceptedText(readTextBox(kTextBufferReadLimit));
}

void HeaderEditor::onApply() {
    if (!applyHeader()) {
        reportWriteFailure();
    }
}

bool HeaderEditor::applyHeader() {
    const int font = currentFont();
    const std::string text = readTextBox(kWriteCommandTextReadLimit);
    if (const auto cut = lineCut(font, text)) {
        cutTextBox(*cut);
        tooLongMessage_.show(true);
        tooLongMessage_.announce();
        return false;
    }
    // No selection in either list fails the composition: nothing the user did not choose
    // is written.
    const auto alignment = static_cast<Alignment>(alignmentList_.currentSelection());
    std::string command;
    if (!composeHeaderWrite(line_, fontList_.currentSelection(), alignment, text, command)) {
        return false;
    }
    return writeBytes(command.data(), command.size());
}

void HeaderEditor::reportWriteFailure() {
    FailureNotice().report(kFailureCaption, kFailureMessage);
}

std::string HeaderEditor::readTextBox(int maxChars) const {
    std::string text(static_cast<std::size_t>(maxChars), '\0');
    text.resize(static_cast<std::size_t>(textBox_.getLine(text.data(), maxChars)));
    return text;
}

int HeaderEditor::currentFont() const {
    return measuringFont(fontList_.currentSelection());
}

void HeaderEditor::setAcceptedText(std::string_view text) {
    const std::size_t length = std::min(text.size(), kHeaderTextCapacity - 1);
    std::memcpy(acceptedText_, text.data(), length);
    acceptedText_[length] = '\0';
}

void HeaderEditor::hideWarnings() {
    warningIcon_.show(false);
    unprintableMessage_.show(false);
    tooLongMessage_.show(false);
}

}  // namespace quillet
