// Control handles over the dialog manager's controls, with the wide (W) messages.
#include <windows.h>

#include <algorithm>

#include "ui/toolkit/controls.h"
#include "ui/toolkit/win32/latin1_text.h"
#include "ui/toolkit/win32/no_scroll_edit.h"

namespace quillet {

namespace {

HWND handleOf(const Control& control) {
    return static_cast<HWND>(control.native());
}

LRESULT send(const Control& control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    HWND handle = handleOf(control);
    return handle != nullptr ? SendMessageW(handle, message, wParam, lParam) : 0;
}

LPARAM wideArgument(const std::wstring& text) {
    return reinterpret_cast<LPARAM>(text.c_str());
}

// An entry of a list box or combo box, by the length and text messages of its kind.
std::string entryText(const Control& control, int index, UINT lengthMessage, UINT textMessage) {
    const LRESULT length = send(control, lengthMessage, static_cast<WPARAM>(index));
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = send(control, textMessage, static_cast<WPARAM>(index),
                                reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return win32::narrowToLatin1(text);
}

// LB_ERR and CB_ERR are both -1, the toolkit's "no selection".
int selectionIndex(LRESULT result) {
    return result < 0 ? -1 : static_cast<int>(result);
}

}  // namespace

void Control::show(bool visible) {
    if (HWND handle = handleOf(*this)) {
        ShowWindow(handle, visible ? SW_SHOW : SW_HIDE);
    }
}

bool Control::isVisible() const {
    // IsWindowVisible: shown, in a window that is shown.
    HWND handle = handleOf(*this);
    return handle != nullptr && IsWindowVisible(handle);
}

void Control::setEnabled(bool enabled) {
    if (HWND handle = handleOf(*this)) {
        EnableWindow(handle, enabled ? TRUE : FALSE);
    }
}

bool Control::isEnabled() const {
    HWND handle = handleOf(*this);
    return handle != nullptr && IsWindowEnabled(handle);
}

void Control::setText(std::string_view text) {
    if (HWND handle = handleOf(*this)) {
        const win32::ChangeByCode byCode;
        SetWindowTextW(handle, win32::widenLatin1(text).c_str());
    }
}

std::string Control::text() const {
    HWND handle = handleOf(*this);
    return handle != nullptr ? win32::windowText(handle) : std::string();
}

bool ButtonControl::isChecked() const {
    return send(*this, BM_GETCHECK) == BST_CHECKED;
}

void ButtonControl::setChecked(bool checked) {
    send(*this, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

void StaticControl::announce() {
    // A screen reader reads the alert's object: the static, named by its text.
    if (HWND handle = handleOf(*this)) {
        NotifyWinEvent(EVENT_SYSTEM_ALERT, handle, OBJID_CLIENT, CHILDID_SELF);
    }
}

int EditControl::getLine(char* buffer, int maxChars) const {
    if (handleOf(*this) == nullptr || buffer == nullptr || maxChars <= 0) {
        return 0;
    }
    // The first WORD of the buffer tells the control its size, in characters.
    const int capacity = std::min(maxChars, 0xFFFF);
    std::wstring line(static_cast<std::size_t>(std::max(capacity, 2)), L'\0');
    line[0] = static_cast<wchar_t>(capacity);
    const LRESULT copied = send(*this, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line.data()));
    const std::size_t count = std::min<std::size_t>(copied > 0 ? copied : 0, capacity);
    const std::string bytes = win32::narrowToLatin1(std::wstring_view(line).substr(0, count));
    std::copy(bytes.begin(), bytes.end(), buffer);
    return static_cast<int>(count);
}

void EditControl::setSelection(int start, int end) {
    send(*this, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void EditControl::clearSelection() {
    const win32::ChangeByCode byCode;
    send(*this, WM_CLEAR);
}

void EditControl::replaceSelection(std::string_view text) {
    const win32::ChangeByCode byCode;
    send(*this, EM_REPLACESEL, FALSE, wideArgument(win32::widenLatin1(text)));
}

void ListBoxControl::resetContent() {
    send(*this, LB_RESETCONTENT);
}

void ListBoxControl::addString(std::string_view text) {
    send(*this, LB_ADDSTRING, 0, wideArgument(win32::widenLatin1(text)));
}

void ListBoxControl::insertString(int index, std::string_view text) {
    send(*this, LB_INSERTSTRING, static_cast<WPARAM>(index),
         wideArgument(win32::widenLatin1(text)));
}

void ListBoxControl::deleteString(int index) {
    send(*this, LB_DELETESTRING, static_cast<WPARAM>(index));
}

int ListBoxControl::count() const {
    return std::max(0, static_cast<int>(send(*this, LB_GETCOUNT)));
}

std::string ListBoxControl::itemText(int index) const {
    return entryText(*this, index, LB_GETTEXTLEN, LB_GETTEXT);
}

int ListBoxControl::currentSelection() const {
    return handleOf(*this) != nullptr ? selectionIndex(send(*this, LB_GETCURSEL)) : -1;
}

void ListBoxControl::setCurrentSelection(int index) {
    send(*this, LB_SETCURSEL, static_cast<WPARAM>(index));
}

void DropDownControl::resetContent() {
    send(*this, CB_RESETCONTENT);
}

void DropDownControl::addString(std::string_view text) {
    send(*this, CB_ADDSTRING, 0, wideArgument(win32::widenLatin1(text)));
}

int DropDownControl::count() const {
    return std::max(0, static_cast<int>(send(*this, CB_GETCOUNT)));
}

std::string DropDownControl::itemText(int index) const {
    return entryText(*this, index, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int DropDownControl::currentSelection() const {
    return handleOf(*this) != nullptr ? selectionIndex(send(*this, CB_GETCURSEL)) : -1;
}

void DropDownControl::setCurrentSelection(int index) {
    send(*this, CB_SETCURSEL, static_cast<WPARAM>(index));
}

void DropDownControl::setTopIndex(int index) {
    send(*this, CB_SETTOPINDEX, static_cast<WPARAM>(index));
}

}  // namespace quillet
