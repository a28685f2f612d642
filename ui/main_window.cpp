// The application's main window: start-up, the list of the printer's six lines, the
// buttons' exchanges with the printer, the window menu and the close.
#include "ui/main_window.h"

#include "link/line_reader.h"
#include "link/pause.h"
#include "link/reader_thread.h"
#include "link/serial_port.h"
#include "protocol/header_readback.h"
#include "protocol/printer_commands.h"
#include "ui/about_box.h"
#include "ui/failure_notice.h"
#include "ui/header_list_entry.h"
#include "ui/port_selection_window.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/paint_context.h"
#include "ui/wait_window.h"

namespace quillet {
namespace {

// The about box's window-menu entry, and every command that differs from it only in the
// bits the system keeps for itself.
constexpr int kAboutCommand = 16;

constexpr int kBaudRate = 9600;
// Lets the printer take the mode switch before the port goes.
constexpr int kCloseLinkPauseMs = 500;
// Wide enough for whatever the printer may have said before a test page.
constexpr std::size_t kTestPageDrainCapacity = 80;
// Gives the printer time to store the six default lines before they are read back.
constexpr int kDefaultsStorePauseMs = 2000;

constexpr const char* kCommunicationFailure = "Communication Failure";

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

// Start-up: port choice until a port opens, the reader, the first load.

bool MainWindow::onInitDialog() {
    FailureNotice notice;
    Dialog::onInitDialog();
    addAboutEntry();
    setIcon(appIcon_);

    if (!openChosenPort(notice)) {
        onCancel();
        return false;
    }
    sendUnchecked(kMode5Command);
    if (!startReading(notice)) {
        onCancel();
        return false;
    }
    // The readback follows the mode switch without a drain.
    WaitWindow wait;
    loadAllHeaders();
    wait.destroyWindow();
    return true;
}

// Asks again after every failed open, as often as the user keeps choosing a port.
bool MainWindow::openChosenPort(FailureNotice& notice) {
    while (true) {
        PortSelectionWindow selection;
        const int choice = selection.runModal();
        if (choice != PortSelectionWindow::kChoseCom1 &&
            choice != PortSelectionWindow::kChoseCom2) {
            return false;
        }
        const char* port = choice == PortSelectionWindow::kChoseCom1 ? "COM1" : "COM2";
        if (openPort(port, kBaudRate) == kPortOpened) {
            return true;
        }
        notice.report(kCommunicationFailure,
                      "An error occurred while opening the COM port. Ensure that the port "
                      "number is correct and that another application is not using this port.");
    }
}

bool MainWindow::startReading(FailureNotice& notice) {
    if (startReader()) {
        return true;
    }
    notice.report("System Error",
                  "An error occurred while creating the read thread. System resources may be "
                  "too low. Try restarting your system.");
    return false;
}

// The buttons' exchanges with the printer; each runs to its end on the window thread.

void MainWindow::onPrintTestPage() {
    sendUnchecked(kMode5Command);
    drainLines(kTestPageDrainCapacity);
    for (int line = 1; line <= kHeaderLineCount; ++line) {
        const auto command = printHeaderCommand(line);
        sendUnchecked({command.data(), command.size()});
    }
    sendUnchecked(kFeedCommand);
}

void MainWindow::onSetDefaults() {
    WaitWindow wait;
    sendUnchecked(kMode5Command);
    drainLines(kShortLineCapacity);
    for (std::string_view command : kDefaultHeaderSet) {
        sendUnchecked(command);
    }
    pause(kDefaultsStorePauseMs);
    // Its failure notice comes up while the wait window is still shown.
    loadAllHeaders();
    wait.destroyWindow();
}

// The editor's result does not matter: the line is read back after OK and Cancel alike, so
// the list shows what the printer holds.
void MainWindow::onModify() {
    const int index = list_.currentSelection();
    if (index < 0 || index >= kHeaderLineCount) {
        return;
    }
    const HeaderRecord& record = headers_[static_cast<std::size_t>(index)];
    editor_.prepareEdit(index + 1, record.text, record.font, Alignment::Left);
    editor_.runModal();

    sendUnchecked(kMode5Command);
    drainLines(kShortLineCapacity);
    std::string entry;
    const bool readBack = readLine(index + 1, entry);
    replaceEntry(index, entry);
    if (!readBack) {
        showCommunicationFailure();
    }
    list_.setCurrentSelection(index);
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
    sendUnchecked(kMode1Command);
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
    enableModifyForSelection();
}

void MainWindow::enableModifyForSelection() {
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
    // Selecting from here raises no notification, so Modify... is set directly.
    list_.setCurrentSelection(0);
    enableModifyForSelection();
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

void MainWindow::sendUnchecked(std::string_view command) {
    static_cast<void>(writeBytes(command.data(), command.size()));
}

void MainWindow::showCommunicationFailure() {
    FailureNotice().report(kCommunicationFailure,
                           "An error occurred while communicating with the printer. Ensure "
                           "that the printer is still connected to your PC and that the green "
                           "LED is ON.");
}

}  // namespace quillet
