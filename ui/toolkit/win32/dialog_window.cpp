// The dialog procedure: the dialog manager's messages turned into the Dialog's calls.
#include "ui/toolkit/win32/dialog_window.h"

#include <algorithm>

#include "ui/toolkit/backend_window.h"
#include "ui/toolkit/win32/icon_handles.h"
#include "ui/toolkit/win32/latin1_text.h"
#include "ui/toolkit/win32/paint_context_win32.h"

namespace quillet {

namespace win32 {
HINSTANCE programInstance() {
    return GetModuleHandleW(nullptr);
}
}  // namespace win32

namespace {

void fillLists(HWND window, const DialogTemplate& dialog) {
    for (const ControlTemplate& control : dialog.controls) {
        const UINT add = control.kind == ControlKind::ListBox        ? LB_ADDSTRING
                         : control.kind == ControlKind::DropDownList ? CB_ADDSTRING
                                                                     : 0;
        if (add == 0 || control.id == -1) {
            continue;
        }
        for (const char* item : control.items) {
            SendDlgItemMessageW(window, control.id, add, 0,
                                reinterpret_cast<LPARAM>(win32::widenLatin1(item).c_str()));
        }
    }
}

// Over the owner while it is on screen, else in the middle of the monitor's work area;
// never beyond the work area.
void centre(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : window, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    const RECT work = monitor.rcWork;
    RECT over = work;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &over);
    }
    RECT own{};
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int x = over.left + (over.right - over.left - width) / 2;
    int y = over.top + (over.bottom - over.top - height) / 2;
    x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
    y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The notification a control's WM_COMMAND code stands for, if it is one the toolkit passes on.
bool notificationOf(ControlKind kind, WORD code, Notification& notification) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::RadioButton:
            notification = Notification::Clicked;
            return code == BN_CLICKED;
        case ControlKind::ListBox:
        case ControlKind::DropDownList:
            notification = Notification::SelectionChanged;
            return code == (kind == ControlKind::ListBox ? LBN_SELCHANGE : CBN_SELCHANGE);
        case ControlKind::EditBox:
            notification = Notification::TextUpdated;
            return code == EN_UPDATE;
        default:
            return false;
    }
}

}  // namespace

void DialogWindow::end(int result) {
    ended_ = true;
    EndDialog(handle_, result);
}

void endWindow(DialogWindow& window, int result) {
    window.end(result);
}

BOOL DialogWindow::create(HWND window, Dialog& dialog) {
    auto* self = new DialogWindow(dialog, window);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    dialog.window_ = self;
    dialog.noteWindowCreated();
    return self->initialise() ? TRUE : FALSE;
}

void DialogWindow::destroyed(HWND window, DialogWindow* self) {
    self->dialog_.noteWindowDestroyed();
    self->dialog_.window_ = nullptr;
    SetWindowLongPtrW(window, DWLP_USER, 0);
    delete self;
}

INT_PTR CALLBACK DialogWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return create(window, *reinterpret_cast<Dialog*>(lParam));
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_COMMAND:
            return self->command(wParam, lParam);
        case WM_SYSCOMMAND:
            return self->sysCommand(wParam);
        case WM_PAINT:
            return self->paint();
        case WM_QUERYDRAGICON:
            return self->queryDragIcon();
        case WM_NCDESTROY:
            destroyed(window, self);
            return FALSE;
        default:
            return FALSE;
    }
}

bool DialogWindow::initialise() {
    fillLists(handle_, dialog_.dialogTemplate());
    if (!(dialog_.dialogTemplate().style & CentreOnScreen)) {
        centre(handle_);
    }
    return dialog_.dispatchInitDialog();
}

INT_PTR DialogWindow::command(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    Notification notification = Notification::Clicked;
    if (lParam == 0) {
        // Enter and Esc without a button of that id, and accelerators.
        if (id != kIdOk && id != kIdCancel) {
            return FALSE;
        }
    } else {
        const ControlTemplate* control = findControlTemplate(dialog_.dialogTemplate(), id);
        if (control == nullptr || !notificationOf(control->kind, code, notification)) {
            return FALSE;
        }
    }
    dialog_.dispatchNotification(id, notification);
    return TRUE;
}

INT_PTR DialogWindow::sysCommand(WPARAM wParam) {
    HWND window = handle_;
    if (dialog_.dispatchSysCommand(static_cast<int>(wParam))) {
        return FALSE;  // the dialog manager's own handling
    }
    SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
    return TRUE;
}

INT_PTR DialogWindow::paint() {
    // BeginPaint to EndPaint with nothing drawn is the default painting of a dialog.
    win32::PaintContextWin32 context(handle_);
    dialog_.dispatchPaint(context);
    return TRUE;
}

INT_PTR DialogWindow::queryDragIcon() {
    // The icon itself is the result; null leaves the default.
    return reinterpret_cast<INT_PTR>(
        win32::iconHandle(dialog_.dispatchQueryDragIcon(), win32::IconSize::Large));
}

}  // namespace quillet
