// The start-up sequence: port choice until a port opens, the reader, the first load.
#include "link/reader_thread.h"
#include "link/serial_port.h"
#include "protocol/printer_commands.h"
#include "ui/failure_notice.h"
#include "ui/main_window.h"
#include "ui/port_selection_window.h"
#include "ui/wait_window.h"

namespace quillet {
namespace {

constexpr int kBaudRate = 9600;
constexpr int kChoseCom1 = 0;
constexpr int kChoseCom2 = 1;

}  // namespace

bool MainWindow::onInitDialog() {
    FailureNotice notice;
    Dialog::onInitDialog();
    addAboutEntry();
    setIcon(appIcon_);

    if (!openChosenPort(notice)) {
        onCancel();
        return false;
    }
    send(kMode5Command);
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
        if (choice != kChoseCom1 && choice != kChoseCom2) {
            return false;
        }
        if (openPort(choice == kChoseCom1 ? "COM1" : "COM2", kBaudRate) == kPortOpened) {
            return true;
        }
        notice.setCaption("Communication Failure");
        notice.setMessage(
            "An error occurred while opening the COM port. Ensure that the port number is "
            "correct and that another application is not using this port.");
        notice.runModal();
    }
}

bool MainWindow::startReading(FailureNotice& notice) {
    if (startReader()) {
        return true;
    }
    notice.setCaption("System Error");
    notice.setMessage(
        "An error occurred while creating the read thread. System resources may be too low. "
        "Try restarting your system.");
    notice.runModal();
    return false;
}

}  // namespace quillet
