#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/scenarios/desk.h"
#include "tests/scenarios/printer_panel.h"
#include "tests/scenarios/user_script.h"
#include "tests/support/printer_traffic.h"
#include "ui/application.h"
#include "ui/resources/resource_ids.h"

namespace quillet::scenario {

using traffic::kDefaultEntries;
using traffic::kDefaultSetBytes;
using traffic::kMode1;
using traffic::kMode5;
using traffic::queries;

struct Pause {
    int ms = 0;
    std::vector<std::string> windows;  // captions of the windows on screen meanwhile
};

// One run of the program as a user starts it, against the emulated printer.
class Scenario : public ::testing::Test {
  protected:
    Scenario();
    ~Scenario() override;
    void SetUp() override;

    // Runs the application to its end while the script plays the user.
    void run(UserScript& script);

    // Enter at the port choice (COM1 is checked), then act on the main window once it
    // lists the six lines.
    static void startWithCom1(UserScript& script, std::function<void(Dialog&)> act);
    // Once the main window is back in front with its six lines, act on it.
    static void whenListed(UserScript& script, const std::string& name,
                           std::function<void(Dialog&)> act);

    // Acts once in the program's next pause of that length, on the window thread, which the
    // program holds meanwhile.
    void duringPause(int ms, std::function<void()> act);

    // The captions of the windows the user saw come up, in order.
    const std::vector<std::string>& seen() const { return seen_; }
    // Each pause the program took, with what was on screen.
    const std::vector<Pause>& pauses() const { return pauses_; }

    PrinterPanel printer;

  private:
    static void onPause(int ms);
    void noteWindows();

    static Scenario* current_;
    std::vector<std::string> seen_;
    std::vector<const Dialog*> visible_;
    std::vector<Pause> pauses_;
    std::vector<std::pair<int, std::function<void()>>> pauseActs_;
    int argc_ = 1;
    char name_[8] = "quillet";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<Application> app_;
};

// What the user sees of a window.
std::vector<std::string> entries(const Dialog& window, int listBoxId);
int selectedEntry(const Dialog& window, int listBoxId);
std::string textOf(const Dialog& window, int controlId);
// The header editor's warnings on screen: the icon, the unprintable and too-long messages.
std::vector<int> warningsShown(const Dialog& editor);

}  // namespace quillet::scenario
