#include "ui/header_editor.h"

#include <QAbstractItemView>
#include <QLabel>
#include <algorithm>
#include <cstring>
#include <string>

#include "link/serial_port.h"
#include "protocol/printer_font.h"
#include "ui/failure_notice.h"
#include "ui/toolkit/controls.h"

namespace quillet {
namespace {

constexpr int kTemplateId = 135;
constexpr int kApplyButton = 1000;
constexpr int kTextBox = 1013;
constexpr int kFontList = 1028;
constexpr int kAlignmentList = 1029;
constexpr int kTooLongMessage = 1033;
constexpr int kUnprintableMessage = 1034;
constexpr int kWarningIcon = 1037;

constexpr int kMaxTextChars = 32;
// How much of the text box each reader takes.
constexpr int kCheckReadLimit = 150;
constexpr int kApplyReadLimit = 142;
// The font a Font list without a selection is measured in.
constexpr int kFontWhenNoneSelected = 5;

constexpr char kFailureCaption[] = "Communication Failure";
constexpr char kFailureMessage[] =
    "An error occurred while writing the header to the printer. Please try again.";

bool isPrintable(QChar c) {
    return c.unicode() >= kFirstPrintable && c.unicode() <= kLastPrintable;
}

// The printer stores one byte per character. Latin-1 keeps every byte read back from it;
// a character Latin-1 cannot hold becomes DEL, which no font prints either.
char toPrinterByte(QChar c) {
    return static_cast<char>(c.unicode() <= 0xFF ? c.unicode() : 0x7F);
}

std::string toPrinterBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        bytes.push_back(toPrinterByte(c));
    }
    return bytes;
}

QString unprintableChars(const QString& text) {
    QString found;
    for (QChar c : text) {
        if (!isPrintable(c)) {
            found.append(c);
        }
    }
    return found;
}

// Selects without the user-change notification, and shows that entry first when open.
void selectQuietly(DropDownList& list, int position) {
    const bool inRange = position >= 0 && position < list.count();
    list.setCurrentIndex(inRange ? position : -1);
    if (inRange) {
        list.view()->scrollTo(list.model()->index(position, 0), QAbstractItemView::PositionAtTop);
    }
}

}  // namespace

HeaderEditor::HeaderEditor(QWidget* owner) : Dialog(kTemplateId, owner) {}

HeaderEditor::~HeaderEditor() = default;

void HeaderEditor::prepareEdit(int line, std::string_view text, int font, Alignment alignment) {
    line_ = line;
    font_ = font;
    alignment_ = alignment;
    const std::size_t length = std::min(text.size(), kHeaderTextCapacity - 1);
    std::memcpy(acceptedText_, text.data(), length);
    acceptedText_[length] = '\0';
}

Dialog::MessageMap HeaderEditor::messageMap() const {
    static const MessageEntry kMap[] = {
        {kFontList, Notification::SelectionChanged, handler(&HeaderEditor::onFontChange)},
        {kTextBox, Notification::TextUpdated, handler(&HeaderEditor::onTextUpdate)},
        {kApplyButton, Notification::Clicked, handler(&HeaderEditor::onApply)},
    };
    return kMap;
}

bool HeaderEditor::doDataExchange() {
    const bool bound[] = {
        bindControl(kWarningIcon, warningIcon_),
        bindControl(kUnprintableMessage, unprintableMessage_),
        bindControl(kTooLongMessage, tooLongMessage_),
        bindControl(kTextBox, textBox_),
        bindControl(kFontList, fontList_),
        bindControl(kAlignmentList, alignmentList_),
    };
    return std::all_of(std::begin(bound), std::end(bound), [](bool b) { return b; });
}

bool HeaderEditor::onInitDialog() {
    if (!updateData()) {
        endDialog(kIdCancel);
        return false;
    }
    fillFontList();
    setWindowTitle(QString::asprintf("Header Message #%d", line_));
    selectQuietly(*alignmentList_, static_cast<int>(alignment_));
    selectQuietly(*fontList_, font_);
    textBox_->setText(acceptedText());
    hideWarnings();
    return true;
}

void HeaderEditor::onOK() {
    onApply();
    endDialog(kIdOk);
}

void HeaderEditor::fillFontList() {
    fontList_->clear();
    for (const PrinterFont& font : kPrinterFonts) {
        fontList_->addItem(QString::fromLatin1(font.listName.data(),
                                               static_cast<qsizetype>(font.listName.size())));
    }
}

void HeaderEditor::onTextUpdate() {
    hideWarnings();
    const QString text = readTextBox(kCheckReadLimit);
    // The revert's own update lands here with the accepted text: nothing to check, so a
    // revert never leads to another.
    if (text == acceptedText()) {
        return;
    }
    const TextFault fault = findFault(text);
    if (fault == TextFault::None) {
        setAcceptedText(text);
        return;
    }
    revertText();
    (fault == TextFault::Unprintable ? unprintableMessage_ : tooLongMessage_)->show();
    warningIcon_->show();
}

// The first character that breaks a rule decides the fault. A line read back from the
// printer may break the rules already (its alignment spaces count as characters), and must
// stay editable: the 32 characters and 380 dots stretch to what the accepted text takes, and
// the unprintable characters it holds are let through, each once.
HeaderEditor::TextFault HeaderEditor::findFault(const QString& text) const {
    const int font = measuringFont();
    const QString accepted = acceptedText();
    const qsizetype maxChars = std::max<qsizetype>(kMaxTextChars, accepted.size());
    const int maxWidth = std::max(kLineWidthDots, printedWidth(font, toPrinterBytes(accepted)));
    QString tolerated = unprintableChars(accepted);
    std::string measured;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!isPrintable(c)) {
            const qsizetype at = tolerated.indexOf(c);
            if (at < 0) {
                return TextFault::Unprintable;
            }
            tolerated.remove(at, 1);
        }
        measured.push_back(toPrinterByte(c));
        if (i >= maxChars || printedWidth(font, measured) > maxWidth) {
            return TextFault::TooLong;
        }
    }
    return TextFault::None;
}

// Replaces the whole content by the accepted text, with no undo; the caret ends after it.
void HeaderEditor::revertText() {
    textBox_->setText(acceptedText());
}

void HeaderEditor::cutTextBox(int keep) {
    textBox_->setSelection(keep, static_cast<int>(textBox_->text().size()) - keep);
    textBox_->del();
}

void HeaderEditor::onFontChange() {
    hideWarnings();
    const QString text = readTextBox(kCheckReadLimit);
    if (text.isEmpty()) {
        return;
    }
    const std::size_t keep = fitLength(measuringFont(), toPrinterBytes(text));
    if (keep >= static_cast<std::size_t>(text.size())) {
        return;
    }
    cutTextBox(static_cast<int>(keep));
    warningIcon_->show();
    tooLongMessage_->show();
    setAcceptedText(textBox_->text());
}

void HeaderEditor::onApply() {
    if (!applyHeader()) {
        reportWriteFailure();
    }
}

bool HeaderEditor::applyHeader() {
    const int font = measuringFont();
    const std::string text = toPrinterBytes(readTextBox(kApplyReadLimit));
    if (printedWidth(font, text) > kLineWidthDots) {
        cutTextBox(static_cast<int>(fitLength(font, text)));
        tooLongMessage_->show();
        return false;
    }
    // No selection in either list fails the composition: nothing the user did not choose
    // is written.
    const auto alignment = static_cast<Alignment>(alignmentList_->currentIndex());
    std::string command;
    if (!composeHeaderWrite(line_, fontList_->currentIndex(), alignment, text, command)) {
        return false;
    }
    return writeBytes(command.data(), command.size());
}

void HeaderEditor::reportWriteFailure() {
    FailureNotice notice;
    notice.setCaption(kFailureCaption);
    notice.setMessage(kFailureMessage);
    notice.runModal();
}

QString HeaderEditor::readTextBox(int maxChars) const {
    return textBox_->text().left(maxChars);
}

int HeaderEditor::measuringFont() const {
    const int position = fontList_->currentIndex();
    return position >= 0 ? position : kFontWhenNoneSelected;
}

QString HeaderEditor::acceptedText() const {
    return QString::fromLatin1(acceptedText_);
}

void HeaderEditor::setAcceptedText(const QString& text) {
    const std::string bytes =
        toPrinterBytes(text.left(static_cast<qsizetype>(kHeaderTextCapacity) - 1));
    std::memcpy(acceptedText_, bytes.data(), bytes.size());
    acceptedText_[bytes.size()] = '\0';
}

void HeaderEditor::hideWarnings() {
    warningIcon_->hide();
    unprintableMessage_->hide();
    tooLongMessage_->hide();
}

}  // namespace quillet
