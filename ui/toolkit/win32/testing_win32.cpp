// The testing hooks on Win32.
#include <windows.h>

#include "ui/toolkit/testing/dialog_testing.h"
#include "ui/toolkit/win32/dialog_window.h"

namespace quillet {

int focusedControlId(const Dialog& dialog) {
    const DialogWindow* window = DialogWindow::of(dialog);
    HWND focus = GetFocus();
    if (window == nullptr || focus == nullptr || !IsChild(window->handle(), focus)) {
        return 0;
    }
    // The edit field inside a combo box, say, stands for the combo box.
    while (GetParent(focus) != window->handle()) {
        focus = GetParent(focus);
    }
    return GetDlgCtrlID(focus);
}

}  // namespace quillet
