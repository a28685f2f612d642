#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <memory>
#include <ostream>
#include <string>

#include "emulator/kv31_emulator.h"
#include "tests/e2e/session_recorder.h"
#include "tests/e2e/user_script.h"
#include "tests/support/printer_traffic.h"
#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/qt/qt_testing.h"

// Readable texts in the failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillet::e2e {

using traffic::kMode1;
using traffic::kMode5;
using traffic::queries;

// A printer that is switched off: it takes every byte and answers nothing.
inline kv31::Faults switchedOff() {
    kv31::Faults faults;
    faults.silent = true;
    return faults;
}

// The six lines the printer starts with, as the list shows them.
extern const QStringList kDefaultEntries;

// One run of the program as a user starts it, with the printer emulated on a
// pseudo-terminal behind COM1 (unpaced unless a test paces it).
class QuilletSession : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the application to its end; the script plays the user meanwhile.
    int run(UserScript& script);

    // The usual start: OK in the port selection window, COM1 being checked.
    static void chooseCom1(UserScript& script);
    // When the main window is up and loaded, act on it.
    static void whenLoaded(UserScript& script, const QString& name,
                           std::function<void(MainWindow&)> act);

    // The main window is the window in use and no exchange is under way. (The wait window
    // runs the event loop briefly while it comes up, so conditions may be looked at then.)
    static bool backAtMainWindow();
    static MainWindow* mainWindow();
    static QStringList entries(const MainWindow& window);
    static int selectedEntry(const MainWindow& window);
    static bool modifyEnabled(const MainWindow& window);
    // A user's click on entry index of the list.
    static void clickEntry(MainWindow& window, int index);
    static void click(Dialog& dialog, int controlId);
    // The dialog's Qt window, for keys and the close box.
    static QDialog* qt(Dialog& dialog) { return qtWindow(dialog); }

    // Bytes the printer has received from offset on, once count of them have come.
    std::string receivedSince(std::size_t offset, std::size_t count);

    kv31::Emulator printer;
    std::unique_ptr<SessionRecorder> recorder;

  private:
    int argc_ = 1;
    char name_[8] = "quillet";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<Application> app_;
};

// True while some open file description holds the device's lock, as an open port does.
bool portLocked(const std::string& path);

}  // namespace quillet::e2e
