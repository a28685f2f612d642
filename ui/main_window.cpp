#include "ui/main_window.h"

#include "link/pause.h"
#include "link/serial_port.h"
#include "protocol/header_readback.h"
#include "protocol/printer_commands.h"
#include "ui/about_box.h"
#include "ui/failure_notice.h"
#include "ui/header_list_entry.h"
#include "ui/resources/dialog_templates.h"
#include "ui/resources/icons.h"

namespace quillet {
namespace {

constexpr int kTemplateId = 102;
constexpr int kPrintTestPageButton = 1001;
constexpr int kModifyButton = 1002;
constexpr int kSetDefaultsButton = 1003;
constexpr int kHeaderList = 1031;

// The about box's window-menu entry, and every command that differs from it only in the
// low four bits, which the system keeps for itself.
constexpr int kAboutCommand = 16;
constexpr int kSystemCommandMask = 0xFFF0;

// Lets the printer take the mode switch before the port goes.
constexpr int kCloseLinkPauseMs = 500;

QString fromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MainWindow::MainWindow() : Dialog(kTemplateId), appIcon_(loadIcon(kAppIconId)) {}

MainWindow::~MainWindow() = default;

bool MainWindow::doDataExchange() {
    const bool boundModify = bindControl(kModifyButton, modifyButton_);
    const bool boundList = bindControl(kHeaderList, list_);
    return boundModify && boundList;
}

Dialog::MessageMap MainWindow::messageMap() const {
    static const MessageEntry kMap[] = {
        {kPrintTestPageButton, Notification::Clicked, handler(&MainWindow::onPrintTestPage)},
        {kSetDefaultsButton, Notification::Clicked, handler(&MainWindow::onSetDefaults)},
        {kHeaderList, Notification::SelectionChanged, handler(&MainWindow::onSelectionChanged)},
        {kModifyButton, Notification::Clicked, handler(&MainWindow::onModify)},
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

void MainWindow::addAboutEntry() {
    const char* text = loadStringResource(kAboutMenuStringId);
    if (!hasSystemMenu() || text == nullptr || *text == '\0') {
        return;
    }
    appendSystemMenuSeparator();
    appendSystemMenuEntry(kAboutCommand, QString::fromLatin1(text));
}

void MainWindow::onSelectionChanged() {
    applyModifyRule();
}

void MainWindow::applyModifyRule() {
    const int selected = list_->currentSelection();
    modifyButton_->setEnabled(selected >= 0 && selected < kHeaderLineCount);
}

void MainWindow::loadAllHeaders() {
    list_->clear();
    bool anyFailed = false;
    for (int line = 1; line <= kHeaderLineCount; ++line) {
        QString entry;
        anyFailed = !readLine(line, entry) || anyFailed;
        list_->addItem(entry);
    }
    // Selecting from here raises no notification, so the rule is applied directly.
    list_->setCurrentSelection(0);
    applyModifyRule();
    if (anyFailed) {
        showCommunicationFailure();
    }
}

bool MainWindow::readLine(int line, QString& entry) {
    HeaderRecord& record = headers_[static_cast<std::size_t>(line - 1)];
    if (readHeader(line, record)) {
        entry = fromLatin1(headerListEntry(line, record));
        return true;
    }
    record = HeaderRecord{};
    record.font = kFailedFontIndex;
    entry = fromLatin1(loadingErrorEntry(line));
    return false;
}

void MainWindow::replaceEntry(int index, const QString& entry) {
    delete list_->takeItem(index);
    list_->insertItem(index, entry);
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
