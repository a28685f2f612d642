#include "ui/main_window.h"

#include "link/pause.h"
#include "link/serial_port.h"
#include "protocol/header_readback.h"
#include "protocol/printer_commands.h"
#include "ui/about_box.h"
#include "ui/failure_notice.h"
#include "ui/header_list_entry.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/paint_context.h"

namespace quillet {
namespace {

// The about box's window-menu entry, and every command that differs from it only in the
// low four bits, which the system keeps for itself.
constexpr int kAboutCommand = 16;
constexpr int kSystemCommandMask = 0xFFF0;

// Lets the printer take the mode switch before the port goes.
constexpr int kCloseLinkPauseMs = 500;

}  // namespace

MainWindow::MainWindow() : Dialog(kMainWindowId), appIcon_(Icon::load(kAppIconId)) {}

bool MainWindow::doDataExchange() {
    const bool boundModify = bindControl(control::kModify, modifyButton_);
    const bool boundList = bindControl(control::kHeaderList, list_);
    return boundModify && boundList;
}

Dialog::MessageMap MainWindow::messageMap() const {
    static const MessageEntry kMap[] = {
        {control::kPrintTestPage, Notification::Clicked, handler(&MainWindow::onPrintTestPage)},
        {control::kSetDefaults, Notification::Clicked, handler(&MainWindow::onSetDefaults)},
        {control::kHeaderList, Notification::SelectionChanged,
         handler(&MainWindow::onSelectionChanged)},
        {control::kModify, Notification::Clicked, handler(&MainWindow::onModify)},
    };
    return kMap;
}

void MainWindow::onOK() {
    closeLink();
    Dialog::onOK();
}

void MainWindow::onCancel() {
    closeLink();
    Dialog::onCancel();
}

void MainWindow::closeLink() {
    send(kMode1Command);
    pause(kCloseLinkPauseMs);
    closePort();
}

void MainWindow::onSysCommand(int id) {
    if ((id & kSystemCommandMask) == kAboutCommand) {
        AboutBox about;
        about.runModal();
        return;
    }
    Dialog::onSysCommand(id);
}

// Only a backend that paints minimised windows in their own frame asks for this.
bool MainWindow::onPaint(PaintContext& paint) {
    if (!isMinimised()) {
        return false;
    }
    paint.eraseIconBackground();
    const int x = (paint.clientWidth() - paint.systemIconWidth() + 1) / 2;
    const int y = (paint.clientHeight() - paint.systemIconHeight() + 1) / 2;
    paint.drawIcon(appIcon_, x, y);
    return true;
}

Icon MainWindow::onQueryDragIcon() {
    return appIcon_;
}

void MainWindow::addAboutEntry() {
    const char* text = loadStringResource(kAboutMenuStringId);
    if (!hasSystemMenu() || text == nullptr || *text == '\0') {
        return;
    }
    appendSystemMenuSeparator();
    appendSystemMenuEntry(kAboutCommand, text);
}

void MainWindow::onSelectionChanged() {
    applyModifyRule();
}

void MainWindow::applyModifyRule() {
    const int selected = list_.currentSelection();
    modifyButton_.setEnabled(selected >= 0 && selected < kHeaderLineCount);
}

void MainWindow::loadAllHeaders() {
    list_.resetContent();
    bool anyFailed = false;
    for (int line = 1; line <= kHeaderLineCount; ++line) {
        std::string entry;
        anyFailed = !readLine(line, entry) || anyFailed;
        list_.addString(entry);
    }
    // Selecting from here raises no notification, so the rule is applied directly.
    list_.setCurrentSelection(0);
    applyModifyRule();
    if (anyFailed) {
        showCommunicationFailure();
    }
}

bool MainWindow::readLine(int line, std::string& entry) {
    HeaderRecord& record = headers_[static_cast<std::size_t>(line - 1)];
    if (readHeader(line, record)) {
        entry = headerListEntry(line, record);
        return true;
    }
    record = HeaderRecord{};
    record.font = kFailedFontIndex;
    entry = loadingErrorEntry(line);
    return false;
}

void MainWindow::replaceEntry(int index, const std::string& entry) {
    list_.deleteString(index);
    list_.insertString(index, entry);
}

void MainWindow::send(std::string_view command) {
    static_cast<void>(writeBytes(command.data(), command.size()));
}

void MainWindow::showCommunicationFailure() {
    FailureNotice notice;
    notice.setCaption("Communication Failure");
    notice.setMessage(
        "An error occurred while communicating with the printer. Ensure that the printer is "
        "still connected to your PC and that the green LED is ON.");
    notice.runModal();
}

}  // namespace quillet
