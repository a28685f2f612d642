#pragma once

#include <windows.h>

#include <map>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/win32/drop_down_choice.h"
#include "ui/toolkit/win32/no_scroll_edit.h"

namespace quillet {

// A Dialog's window in the dialog manager: it exists from WM_INITDIALOG, when the window and
// its controls have been made, to WM_NCDESTROY.
class DialogWindow {
  public:
    // What runModal and createModeless hand to the dialog manager for WM_INITDIALOG.
    struct Creation {
        Dialog* dialog;
        bool modal;
    };

    DialogWindow(Dialog& dialog, HWND handle, bool modal)
        : dialog_(dialog), handle_(handle), modal_(modal) {}

    HWND handle() const { return handle_; }
    bool isModal() const { return modal_; }
    // Whether endDialog was called for this window.
    bool ended() const { return ended_; }
    void end(int result);

    // The dialog procedure of every Dialog. Nothing here touches the DialogWindow after
    // handing a message to the Dialog: the handler may have destroyed the window.
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static BOOL create(HWND window, const Creation& creation);
    static void destroyed(HWND window, Dialog& dialog);
    bool initialise();
    INT_PTR command(WPARAM wParam, LPARAM lParam);
    bool heard(const ControlTemplate& control, HWND handle, WORD code, Notification& notification);
    INT_PTR settleChoice(int id);
    INT_PTR sysCommand(WPARAM wParam);
    INT_PTR paint();
    INT_PTR queryDragIcon();

    Dialog& dialog_;
    const HWND handle_;
    const bool modal_;
    bool ended_ = false;
    std::map<int, win32::NoScrollEdit> noScrollEdits_;
    std::map<int, win32::DropDownChoice> choices_;
};

namespace win32 {
// The module whose resources hold the icons and strings: the program itself.
HINSTANCE programInstance();
}  // namespace win32

}  // namespace quillet
