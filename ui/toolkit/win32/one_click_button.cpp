#include "ui/toolkit/win32/one_click_button.h"

#include <commctrl.h>

namespace quillet::win32 {
namespace {

LRESULT CALLBACK oneClickProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    if (message == WM_LBUTTONDBLCLK) {
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(button, &oneClickProcedure, 0);
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

void takeDoubleClickAsOne(HWND button) {
    if (button != nullptr) {
        SetWindowSubclass(button, &oneClickProcedure, 0, 0);
    }
}

}  // namespace quillet::win32
