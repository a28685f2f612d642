#pragma once

#include <windows.h>

#include <map>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/win32/accessible_names.h"
#include "ui/toolkit/win32/drop_down_choice.h"
#include "ui/toolkit/win32/no_scroll_edit.h"

namespace quillet {

// A Dialog's window in the dialog manager, kept with the window handle (DWLP_USER): made at
// WM_INITDIALOG, when the window and its controls exist, and removed at WM_NCDESTROY. The
// dialog's pointer to it is only a handle, which the same two messages set and clear.
class DialogWindow {
  public:
    DialogWindow(Dialog& dialog, HWND handle) : dialog_(dialog), handle_(handle) {}

    // The dialog's window while it exists, else null.
    static DialogWindow* of(const Dialog& dialog) { return dialog.window_; }
    HWND handle() const { return handle_; }
    // Whether endDialog was called for this window.
    bool ended() const { return ended_; }
    void end(int result);

    // The dialog procedure of every Dialog; runModal and createModeless pass the Dialog as
    // the creation parameter. Nothing here touches the DialogWindow after handing a message
    // to the Dialog: the handler may have destroyed the window.
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static BOOL create(HWND window, Dialog& dialog);
    static void destroyed(HWND window, DialogWindow* self);
    bool initialise();
    INT_PTR command(WPARAM wParam, LPARAM lParam);
    bool heard(const ControlTemplate& control, HWND handle, WORD code, Notification& notification);
    INT_PTR settleChoice(int id);
    INT_PTR sysCommand(WPARAM wParam);
    INT_PTR paint();
    INT_PTR shown(WPARAM wParam);
    INT_PTR announceAlert();
    INT_PTR queryDragIcon();

    Dialog& dialog_;
    const HWND handle_;
    bool ended_ = false;
    std::map<int, win32::NoScrollEdit> noScrollEdits_;
    std::map<int, win32::DropDownChoice> choices_;
    win32::AccessibleNames accessibleNames_;
};

namespace win32 {
// The module whose resources hold the icons and strings: the program itself.
HINSTANCE programInstance();
}  // namespace win32

}  // namespace quillet
