#include "ui/toolkit/win32/paint_context_win32.h"

#include "ui/toolkit/win32/icon_handles.h"

namespace quillet::win32 {

PaintContextWin32::PaintContextWin32(HWND window)
    : window_(window), dc_(BeginPaint(window, &paint_)) {
    GetClientRect(window, &client_);
}

PaintContextWin32::~PaintContextWin32() {
    EndPaint(window_, &paint_);
}

int PaintContextWin32::clientWidth() const {
    return client_.right - client_.left;
}

int PaintContextWin32::clientHeight() const {
    return client_.bottom - client_.top;
}

int PaintContextWin32::systemIconWidth() const {
    return GetSystemMetrics(SM_CXICON);
}

int PaintContextWin32::systemIconHeight() const {
    return GetSystemMetrics(SM_CYICON);
}

void PaintContextWin32::eraseIconBackground() {
    SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
}

void PaintContextWin32::drawIcon(const Icon& icon, int x, int y) {
    if (HICON handle = iconHandle(icon, IconSize::Large)) {
        DrawIcon(dc_, x, y, handle);
    }
}

}  // namespace quillet::win32
