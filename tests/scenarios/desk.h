#pragma once

#include <string_view>

#include "ui/toolkit/testing/dialog_testing.h"

// The user's hands on the windows, through each backend's own input path: Qt's key and
// mouse events on the widgets, or the system's input queue under Win32, so that the
// toolkit's dialog handling (default button, Esc, Tab, the window menu) does its own work.
// Keys go to the control with the focus; clicks go to the middle of what is clicked. What
// the input did shows by the next step of the script. Each backend defines these in its
// own file.
namespace quillet::scenario::desk {

enum class Key { Enter, Escape, Tab, Backspace, F4, Delete, Home, End, Up, Down, Space };

void click(const Dialog& dialog, int controlId);
// Clicks the entry of a list box.
void clickEntry(const Dialog& dialog, int listBoxId, int index);
// Opens a drop-down list with a click and clicks the entry.
void chooseEntry(const Dialog& dialog, int dropDownId, int index);
// Types the text (Latin-1) into the control with the focus, a character at a time.
void type(std::string_view text);
// Puts the text (Latin-1) on the clipboard and pastes it with Ctrl+V into the control with
// the focus.
void paste(std::string_view text);
void press(Key key);
// Opens the window menu with Alt+Space and chooses the entry by its underlined letter.
void chooseFromWindowMenu(std::string_view entry);

// Input that waits in the system's queue until the window thread takes it, as a user's does
// while the program is busy: these may be given from the pause hook, in an exchange.
void queueClick(const Dialog& dialog, int controlId);
void queuePress(Key key);
// A double click as a user gives it: two clicks 100 ms apart by the clock, the second queued
// whether or not the program has answered the first.
void doubleClick(const Dialog& dialog, int controlId);
// The key twice, apart by the clock.
void pressTwice(Key key, int apartMs);

// The system ends the program, from outside its window thread, as at a shutdown or a
// logout: on POSIX the signal to this process; under Win32 the end of the session
// (WM_ENDSESSION) to the main window, whatever the kind.
enum class SystemEnd { Terminate, HangUp, Interrupt };
void endFromSystem(SystemEnd kind);

// Closes an open menu, if any, for a script that ran out of time; false when none was open.
bool closeMenus();

}  // namespace quillet::scenario::desk
