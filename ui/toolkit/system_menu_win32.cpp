// The window's own system menu on Windows.
#include <windows.h>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/system_menu.h"

namespace quillet {
namespace {

class Win32SystemMenu : public SystemMenu {
  public:
    explicit Win32SystemMenu(Dialog& dialog) : dialog_(dialog) {
        // A window created again starts from the standard menu, as a new window would.
        GetSystemMenu(window(), TRUE);
    }

    void appendSeparator() override { AppendMenuW(menu(), MF_SEPARATOR, 0, nullptr); }

    void appendEntry(int id, const QString& text) override {
        AppendMenuW(menu(), MF_STRING, static_cast<UINT_PTR>(id),
                    reinterpret_cast<LPCWSTR>(text.utf16()));
    }

    bool handleNativeEvent(void* message, qintptr* result) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_SYSCOMMAND) {
            return false;
        }
        if (deliver(dialog_, static_cast<int>(msg->wParam))) {
            return false;  // DefWindowProc does the standard commands
        }
        *result = 0;
        return true;
    }

  private:
    HWND window() const { return reinterpret_cast<HWND>(dialog_.winId()); }
    HMENU menu() const { return GetSystemMenu(window(), FALSE); }

    Dialog& dialog_;
};

}  // namespace

std::unique_ptr<SystemMenu> createSystemMenu(Dialog& dialog) {
    return std::make_unique<Win32SystemMenu>(dialog);
}

}  // namespace quillet
