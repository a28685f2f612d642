// The buttons' exchanges with the printer; each runs to its end on the window thread.
#include "link/line_reader.h"
#include "link/pause.h"
#include "protocol/printer_commands.h"
#include "ui/main_window.h"
#include "ui/wait_window.h"

namespace quillet {
namespace {

// Wide enough for whatever the printer may have said before a test page.
constexpr std::size_t kTestPageDrainCapacity = 80;
// Gives the printer time to store the six default lines before they are read back.
constexpr int kDefaultsStorePauseMs = 2000;

}  // namespace

void MainWindow::onPrintTestPage() {
    send(kMode5Command);
    drainLines(kTestPageDrainCapacity);
    for (int line = 1; line <= kHeaderLineCount; ++line) {
        const auto command = printHeaderCommand(line);
        send({command.data(), command.size()});
    }
    send(kFeedCommand);
}

void MainWindow::onSetDefaults() {
    WaitWindow wait;
    send(kMode5Command);
    drainLines(kShortLineCapacity);
    for (std::string_view command : kDefaultHeaderSet) {
        send(command);
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

    send(kMode5Command);
    drainLines(kShortLineCapacity);
    std::string entry;
    const bool readBack = readLine(index + 1, entry);
    replaceEntry(index, entry);
    if (!readBack) {
        showCommunicationFailure();
    }
    list_.setCurrentSelection(index);
}

}  // namespace quillet
