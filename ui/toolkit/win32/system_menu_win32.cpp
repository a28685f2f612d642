// The window's own system menu: entries appended to it come back as WM_SYSCOMMAND, which
// the dialog procedure hands to onSysCommand.
#include <windows.h>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/win32/dialog_window.h"
#include "ui/toolkit/win32/latin1_text.h"

namespace quillet {

namespace {

HMENU systemMenuOf(const Dialog& dialog) {
    return dialog.hasSystemMenu() ? GetSystemMenu(DialogWindow::of(dialog)->handle(), FALSE)
                                  : nullptr;
}

}  // namespace

bool Dialog::hasSystemMenu() const {
    return hasWindow() && (GetWindowLongW(window_->handle(), GWL_STYLE) & WS_SYSMENU) != 0;
}

void Dialog::appendSystemMenuSeparator() {
    if (HMENU menu = systemMenuOf(*this)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    }
}

void Dialog::appendSystemMenuEntry(int id, std::string_view text) {
    if (HMENU menu = systemMenuOf(*this)) {
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), win32::widenLatin1(text).c_str());
    }
}

}  // namespace quillet
