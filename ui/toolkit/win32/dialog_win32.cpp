// Dialog on the Win32 dialog manager: the window is made from the template in memory.
#include <windows.h>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/win32/dialog_window.h"
#include "ui/toolkit/win32/icon_handles.h"
#include "ui/toolkit/win32/latin1_text.h"
#include "ui/toolkit/win32/native_template.h"

namespace quillet {

namespace {

// The window that owns a new dialog: the given owner's, else the main window's; a window
// already open over that one (a modal run, the wait window) owns the new one instead, so
// that the whole chain is disabled while the new one runs modally.
HWND ownerHandle(const Dialog* dialog, const Dialog* explicitOwner) {
    const Dialog* owner = explicitOwner != nullptr ? explicitOwner : Dialog::mainWindow();
    const DialogWindow* ownerWindow = owner != nullptr ? DialogWindow::of(*owner) : nullptr;
    if (owner == dialog || ownerWindow == nullptr) {
        return nullptr;
    }
    HWND handle = ownerWindow->handle();
    HWND popup = GetLastActivePopup(handle);
    if (popup != nullptr && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
        return popup;
    }
    return handle;
}

}  // namespace

int Dialog::runModal() {
    // Each run makes the window afresh, also after a modeless one.
    destroyWindow();
    modal_ = true;
    const win32::NativeTemplate native(*template_);
    const INT_PTR result = DialogBoxIndirectParamW(
        win32::programInstance(), native.get(), ownerHandle(this, explicitOwner_),
        &DialogWindow::procedure, reinterpret_cast<LPARAM>(this));
    return static_cast<int>(result);
}

bool Dialog::createModeless() {
    destroyWindow();
    modal_ = false;
    const win32::NativeTemplate native(*template_);
    HWND handle = CreateDialogIndirectParamW(
        win32::programInstance(), native.get(), ownerHandle(this, explicitOwner_),
        &DialogWindow::procedure, reinterpret_cast<LPARAM>(this));
    if (handle == nullptr || window_ == nullptr) {
        return false;
    }
    if ((template_->style & VisibleAtCreation) && !window_->ended()) {
        ShowWindow(handle, SW_SHOWNORMAL);
        // The caller may block this thread next: paint the window and its controls now.
        RedrawWindow(handle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    return true;
}

void Dialog::destroyWindow() {
    // WM_NCDESTROY removes window_.
    if (window_ != nullptr) {
        DestroyWindow(window_->handle());
    }
}

bool Dialog::isWindowVisible() const {
    return hasWindow() && IsWindowVisible(window_->handle());
}

bool Dialog::isMinimised() const {
    return hasWindow() && IsIconic(window_->handle());
}

void Dialog::setCaption(std::string_view text) {
    if (hasWindow()) {
        SetWindowTextW(window_->handle(), win32::widenLatin1(text).c_str());
    }
}

std::string Dialog::caption() const {
    return hasWindow() ? win32::windowText(window_->handle()) : std::string();
}

void Dialog::setIcon(const Icon& icon) {
    if (!hasWindow()) {
        return;
    }
    SendMessageW(window_->handle(), WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(win32::iconHandle(icon, win32::IconSize::Large)));
    SendMessageW(window_->handle(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(win32::iconHandle(icon, win32::IconSize::Small)));
}

bool Dialog::attachControl(int id, Control& handle, bool (*accepts)(ControlKind)) const {
    handle.attach(nullptr);
    const ControlTemplate* control = id != -1 ? findControlTemplate(*template_, id) : nullptr;
    if (!hasWindow() || control == nullptr || !accepts(control->kind)) {
        return false;
    }
    handle.attach(GetDlgItem(window_->handle(), id));
    return handle.isBound();
}

}  // namespace quillet
