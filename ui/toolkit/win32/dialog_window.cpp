// The dialog procedure: the dialog manager's messages turned into the Dialog's calls.
#include "ui/toolkit/win32/dialog_window.h"

#include <algorithm>

#include "ui/toolkit/backend_window.h"
#include "ui/toolkit/win32/icon_handles.h"
#include "ui/toolkit/win32/latin1_text.h"
#include "ui/toolkit/win32/one_click_button.h"
#include "ui/toolkit/win32/paint_context_win32.h"

namespace quillet {

namespace win32 {
HINSTANCE programInstance() {
    return GetModuleHandleW(nullptr);
}
}  // namespace win32

namespace {

// Posted by a drop-down list's closing, with its id: the choice is settled once the
// notifications of the closing are over.
constexpr UINT kSettleChoice = WM_APP + 0x51;
// Posted when an alert dialog is shown: it is announced once it is on screen.
constexpr UINT kAnnounceAlert = WM_APP + 0x52;

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
            notification = Notification::SelectionChanged;
            return code == LBN_SELCHANGE;
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
        case WM_ENDSESSION:
            // The session ends: the process may be ended as soon as this returns.
            if (wParam != FALSE) {
                Dialog::requestEnd(Dialog::EndTiming::Now);
            }
            return FALSE;
        case kSettleChoice:
            return self->settleChoice(static_cast<int>(wParam));
        case WM_SHOWWINDOW:
            return self->shown(wParam);
        case kAnnounceAlert:
            return self->announceAlert();
        case WM_DESTROY:
            // While the controls still exist.
            self->accessibleNames_.clear();
            return FALSE;
        case WM_NCDESTROY:
            destroyed(window, self);
            return FALSE;
        default:
            return FALSE;
    }
}

bool DialogWindow::initialise() {
    fillLists(handle_, dialog_.dialogTemplate());
    for (const ControlTemplate& control : dialog_.dialogTemplate().controls) {
        if (control.kind == ControlKind::EditBox && (control.flags & NoHScroll) &&
            control.id != -1) {
            noScrollEdits_.emplace(control.id, GetDlgItem(handle_, control.id));
        }
        if (control.kind == ControlKind::PushButton && control.id != -1) {
            win32::takeDoubleClickAsOne(GetDlgItem(handle_, control.id));
        }
    }
    if (!(dialog_.dialogTemplate().style & CentreOnScreen)) {
        centre(handle_);
    }
    accessibleNames_.annotate(handle_, dialog_.dialogTemplate());
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
        if (control == nullptr ||
            !heard(*control, reinterpret_cast<HWND>(lParam), code, notification)) {
            return FALSE;
        }
    }
    dialog_.dispatchNotification(id, notification);
    return TRUE;
}

// Whether the dialog hears of a control's notification, and as which: of a drop-down list
// only the user's choices, of an edit box that never scrolls only the changes it takes.
bool DialogWindow::heard(const ControlTemplate& control, HWND handle, WORD code,
                         Notification& notification) {
    if (control.kind == ControlKind::DropDownList) {
        notification = Notification::SelectionChanged;
        switch (choices_[control.id].onNotification(handle, code)) {
            case win32::DropDownChoice::Step::Chosen:
                return true;
            case win32::DropDownChoice::Step::SettleLater:
                PostMessageW(handle_, kSettleChoice, static_cast<WPARAM>(control.id), 0);
                return false;
            case win32::DropDownChoice::Step::None:
                break;
        }
        return false;
    }
    if (!notificationOf(control.kind, code, notification)) {
        return false;
    }
    const auto edit = noScrollEdits_.find(control.id);
    return edit == noScrollEdits_.end() || edit->second.admitChange(handle);
}

INT_PTR DialogWindow::settleChoice(int id) {
    HWND list = GetDlgItem(handle_, id);
    const auto choice = choices_.find(id);
    if (list != nullptr && choice != choices_.end() && choice->second.settle(list)) {
        dialog_.dispatchNotification(id, Notification::SelectionChanged);
    }
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

INT_PTR DialogWindow::shown(WPARAM wParam) {
    if (wParam && (dialog_.dialogTemplate().style & Alert)) {
        PostMessageW(handle_, kAnnounceAlert, 0, 0);
    }
    return FALSE;
}

INT_PTR DialogWindow::announceAlert() {
    // As a message box is: a screen reader reads the dialog and its text.
    if (IsWindowVisible(handle_)) {
        NotifyWinEvent(EVENT_SYSTEM_ALERT, handle_, OBJID_CLIENT, CHILDID_SELF);
    }
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
