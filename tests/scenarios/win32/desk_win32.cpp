// The user's hands under Win32: SendInput, the system's own input path. Wine delivers it
// without a window manager too: keys to the focused control of the foreground window,
// clicks to the window under the pointer; the dialog manager (IsDialogMessage), the
// controls and the menu loop then do their own work, as they do for a user.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/scenarios/by_the_clock.h"
#include "tests/scenarios/desk.h"
#include "tests/scenarios/user_script.h"
#include "ui/toolkit/win32/dialog_window.h"
#include "ui/toolkit/win32/latin1_text.h"

namespace quillet::scenario::desk {

namespace {

HWND controlWindow(const Dialog& dialog, int controlId) {
    HWND control = static_cast<HWND>(controlHandle<Control>(dialog, controlId).native());
    EXPECT_NE(control, nullptr) << "no control " << controlId;
    return control;
}

void send(std::vector<INPUT> inputs) {
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    EXPECT_EQ(sent, inputs.size()) << "SendInput: " << GetLastError();
}

// Absolute positions run from 0 to 65535 across the primary screen.
INPUT mouse(POINT at, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void clickAt(POINT at) {
    send({mouse(at, MOUSEEVENTF_MOVE), mouse(at, MOUSEEVENTF_LEFTDOWN),
          mouse(at, MOUSEEVENTF_LEFTUP)});
}

// The middle of a rectangle in the window's client coordinates, on the screen.
POINT middle(HWND window, RECT area) {
    POINT at{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    MapWindowPoints(window, nullptr, &at, 1);
    return at;
}

INPUT key(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT character(wchar_t c, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

// Clicks the entry in the open list of a drop-down list. (The dialog manager makes the
// open list as tall as the template says: Quillet's lists show all their entries.)
void clickOpenEntry(HWND dropDown, int index) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(dropDown, &info) || !IsWindowVisible(info.hwndList)) {
        ADD_FAILURE() << "the drop-down list did not open";
        return;
    }
    RECT entry{};
    RECT shown{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&entry));
    GetClientRect(info.hwndList, &shown);
    EXPECT_TRUE(entry.top >= shown.top && entry.bottom <= shown.bottom)
        << "entry " << index << " is out of view";
    clickAt(middle(info.hwndList, entry));
}

// The window whose menu is open, or null.
HWND menuOwner() {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetCurrentThreadId(), &gui);
    return (gui.flags & GUI_INMENUMODE) != 0 ? gui.hwndMenuOwner : nullptr;
}

int menuPosition(HMENU menu, const std::string& text) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t entry[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), entry, 128, MF_BYPOSITION);
        if (win32::narrowToLatin1(entry) == text) {
            return i;
        }
    }
    return -1;
}

int highlighted(HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) {
            return i;
        }
    }
    return -1;
}

// Moves the highlight to the entry with the arrow keys, then presses Enter. (Its underlined
// letter may not be its own: Wine adds "&About Wine" to every window menu.)
void pickFromOpenMenu(const std::string& text, int tries) {
    HWND owner = menuOwner();
    HMENU menu = owner != nullptr ? GetSystemMenu(owner, FALSE) : nullptr;
    const int position = menu != nullptr ? menuPosition(menu, text) : -1;
    if (position < 0 || tries == 0) {
        ADD_FAILURE() << "cannot choose " << text << " from the window menu";
        return;
    }
    const int at = highlighted(menu);
    if (at == position) {
        press(Key::Enter);
        return;
    }
    const WORD arrow = at < position ? VK_DOWN : VK_UP;
    send({key(arrow, false), key(arrow, true)});
    UserScript::afterInput([text, tries] { pickFromOpenMenu(text, tries - 1); });
}

}  // namespace

void click(const Dialog& dialog, int controlId) {
    if (HWND control = controlWindow(dialog, controlId)) {
        RECT area{};
        GetClientRect(control, &area);
        clickAt(middle(control, area));
    }
}

// SendInput queues every input until the window thread takes it.
void queueClick(const Dialog& dialog, int controlId) {
    click(dialog, controlId);
}

void queuePress(Key key) {
    press(key);
}

void doubleClick(const Dialog& dialog, int controlId) {
    if (HWND control = controlWindow(dialog, controlId)) {
        RECT area{};
        GetClientRect(control, &area);
        const POINT at = middle(control, area);
        byTheClock({{0, [at] { clickAt(at); }}, {100, [at] { clickAt(at); }}});
    }
}

void pressTwice(Key key, int apartMs) {
    byTheClock({{0, [key] { press(key); }}, {apartMs, [key] { press(key); }}});
}

// Sent as the system sends it: the call returns once the window thread has taken it.
void endFromSystem(SystemEnd) {
    const DialogWindow* main =
        Dialog::mainWindow() != nullptr ? dialogWindow(*Dialog::mainWindow()) : nullptr;
    HWND window = main != nullptr ? main->handle() : nullptr;
    byTheClock({{0, [window] { SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF); }}});
}

void clickEntry(const Dialog& dialog, int listBoxId, int index) {
    if (HWND list = controlWindow(dialog, listBoxId)) {
        RECT entry{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&entry));
        clickAt(middle(list, entry));
    }
}

void chooseEntry(const Dialog& dialog, int dropDownId, int index) {
    if (HWND dropDown = controlWindow(dialog, dropDownId)) {
        click(dialog, dropDownId);
        UserScript::afterInput([dropDown, index] { clickOpenEntry(dropDown, index); });
    }
}

void type(std::string_view text) {
    std::vector<INPUT> inputs;
    for (const char byte : text) {
        const auto c = static_cast<wchar_t>(static_cast<unsigned char>(byte));
        inputs.push_back(character(c, false));
        inputs.push_back(character(c, true));
    }
    send(std::move(inputs));
}

void paste(std::string_view text) {
    const std::wstring wide = win32::widenLatin1(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* copy = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (copy == nullptr) {
        ADD_FAILURE() << "no memory for the clipboard";
        return;
    }
    std::memcpy(copy, wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        ADD_FAILURE() << "cannot open the clipboard: " << GetLastError();
        return;
    }
    EmptyClipboard();
    EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr) << GetLastError();
    CloseClipboard();
    send({key(VK_CONTROL, false), key('V', false), key('V', true), key(VK_CONTROL, true)});
}

void press(Key pressed) {
    static const WORD kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_BACK, VK_F4,   VK_DELETE,
                                 VK_HOME,   VK_END,    VK_UP,  VK_DOWN, VK_SPACE};
    const WORD virtualKey = kKeys[static_cast<int>(pressed)];
    INPUT down = key(virtualKey, false);
    INPUT up = key(virtualKey, true);
    // The keys of the block between the letters and the number pad.
    if (pressed >= Key::Delete && pressed <= Key::Down) {
        down.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        up.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    send({down, up});
}

void chooseFromWindowMenu(std::string_view entry) {
    send({key(VK_MENU, false), key(VK_SPACE, false), key(VK_SPACE, true), key(VK_MENU, true)});
    UserScript::afterInput([text = std::string(entry)] {
        EXPECT_TRUE(menuOwner() != nullptr) << "Alt+Space opened no menu";
        pickFromOpenMenu(text, 20);
    });
}

bool closeMenus() {
    if (menuOwner() == nullptr) {
        return false;
    }
    press(Key::Escape);
    return true;
}

}  // namespace quillet::scenario::desk
