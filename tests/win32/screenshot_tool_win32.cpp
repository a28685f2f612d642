// Pictures of the Win32 windows for review by eye, taken by the Wine runner on its X server:
//   quillet_wine_runner ... --xvfb Xvfb --shots DIR --exe quillet_win32_screenshots.exe
// The main window goes through the real start-up against the emulator behind COM1.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/win32/control_codec.h"
#include "tests/win32/emulator_client.h"
#include "tests/win32/message_steps.h"
#include "ui/about_box.h"
#include "ui/failure_notice.h"
#include "ui/header_editor.h"
#include "ui/main_window.h"
#include "ui/port_selection_window.h"
#include "ui/resources/resource_catalog.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/testing/dialog_testing.h"
#include "ui/toolkit/win32/dialog_window.h"
#include "ui/wait_window.h"

namespace {

using quillet::Dialog;
using quillet::wine::MessageSteps;

bool allGood = true;

HWND handleOf(const Dialog& dialog) {
    return dialogWindow(dialog) != nullptr ? dialogWindow(dialog)->handle() : nullptr;
}

void capture(const std::string& name, const std::string& title) {
    std::string answer;
    const bool saved = quillet::wine::emulator().request(
        "capture " + name + " " + quillet::wine::toHex(title), &answer);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", answer.c_str());
    allGood = allGood && saved;
}

// True once the window has been on screen, with nothing left to paint, for a moment: Wine
// hands what was painted to the X server a little later.
class Settled {
  public:
    explicit Settled(const Dialog& dialog) : dialog_(dialog) {}
    bool operator()() {
        HWND window = handleOf(dialog_);
        if (window == nullptr || !IsWindowVisible(window) ||
            GetUpdateRect(window, nullptr, FALSE)) {
            since_ = 0;
            return false;
        }
        if (since_ == 0) {
            since_ = GetTickCount64();
        }
        return GetTickCount64() - since_ >= 300;
    }

  private:
    const Dialog& dialog_;
    ULONGLONG since_ = 0;
};

void shootModal(Dialog& dialog, const std::string& name, const std::string& title) {
    Settled settled(dialog);
    MessageSteps steps({MessageSteps::when(std::ref(settled), [&] {
        capture(name, title);
        dialog.endDialog(quillet::kIdCancel);
    })});
    dialog.runModal();
}

void shootHeaderEditor() {
    // Line 4 of the maker's defaults, leading spaces and all.
    quillet::HeaderEditor editor;
    editor.prepareEdit(4, "        TEL: (555) 010-2000", 1, quillet::Alignment::Left);
    Settled settled(editor);
    Settled settledAgain(editor);
    MessageSteps steps({MessageSteps::when(std::ref(settled),
                                           [&] {
                                               capture("135_header_editor", "Header Message #4");
                                               // A character the printer has not: rejected.
                                               HWND box = static_cast<HWND>(
                                                   quillet::controlHandle<quillet::EditControl>(
                                                       editor, quillet::control::kTextBox)
                                                       .native());
                                               SetFocus(box);
                                               quillet::wine::postChar(box, L'\u20AC');
                                           }),
                        MessageSteps::when(std::ref(settledAgain), [&] {
                            capture("135_header_editor_rejected", "Header Message #4");
                            editor.endDialog(quillet::kIdCancel);
                        })});
    editor.runModal();
}

// The wait window while this thread is blocked, as in an exchange with the printer: the
// capture request blocks it.
void shootWaitWindow() {
    quillet::WaitWindow wait;
    Sleep(300);
    capture("137_wait_window", "Wait...");
    wait.destroyWindow();
}

// The real start-up: COM1 chosen, the six lines read from the emulator.
void shootMainWindow() {
    quillet::MainWindow mainWindow;
    Dialog::setMainWindow(&mainWindow);
    Settled settled(mainWindow);
    MessageSteps steps(
        {MessageSteps::when([] { return FindWindowW(nullptr, L"Select Serial Port") != nullptr; },
                            [] {
                                HWND ports = FindWindowW(nullptr, L"Select Serial Port");
                                PostMessageW(ports, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                             reinterpret_cast<LPARAM>(GetDlgItem(ports, IDOK)));
                            }),
         MessageSteps::when(std::ref(settled), [&] {
             capture("102_main_window", "Quillet");
             mainWindow.endDialog(quillet::kIdCancel);
         })});
    mainWindow.runModal();
    Dialog::setMainWindow(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    constexpr char kControl[] = "--kv31-control=";
    std::string error;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kControl, sizeof kControl - 1) == 0 &&
            !quillet::wine::emulator().connect(argv[i] + sizeof kControl - 1, error)) {
            std::fprintf(stderr, "no runner: %s\n", error.c_str());
            return 1;
        }
    }
    if (!quillet::wine::emulator().connected()) {
        std::fprintf(stderr, "run me with quillet_wine_runner --shots DIR\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    quillet::installResources(quillet::quilletResources());

    quillet::AboutBox about;
    shootModal(about, "100_about_box", "About Quillet");
    quillet::PortSelectionWindow ports;
    shootModal(ports, "130_port_selection", "Select Serial Port");
    quillet::FailureNotice notice;
    notice.setCaption("Communication Failure");
    notice.setMessage(
        "An error occurred while communicating with the printer. Ensure that the printer is "
        "still connected to your PC and that the green LED is ON.");
    shootModal(notice, "131_failure_notice", "Communication Failure");
    shootHeaderEditor();
    shootWaitWindow();
    shootMainWindow();
    return allGood ? 0 : 1;
}
