#pragma once

#include <windows.h>

#include "ui/toolkit/paint_context.h"

namespace quillet::win32 {

// WM_PAINT of a dialog: BeginPaint at construction, EndPaint at destruction.
class PaintContextWin32 final : public PaintContext {
  public:
    explicit PaintContextWin32(HWND window);
    ~PaintContextWin32() override;
    PaintContextWin32(const PaintContextWin32&) = delete;
    PaintContextWin32& operator=(const PaintContextWin32&) = delete;

    int clientWidth() const override;
    int clientHeight() const override;
    int systemIconWidth() const override;
    int systemIconHeight() const override;
    void eraseIconBackground() override;
    void drawIcon(const Icon& icon, int x, int y) override;

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
    RECT client_{};
};

}  // namespace quillet::win32
