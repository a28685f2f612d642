#pragma once

#include "ui/toolkit/resources.h"

namespace quillet {

// A window being painted, as a dialog's paint handler sees it: BeginPaint to EndPaint.
// Backends that cannot paint a minimised window in its own frame never make one.
class PaintContext {
  public:
    virtual ~PaintContext() = default;

    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    // The system's standard icon size (SM_CXICON, SM_CYICON).
    virtual int systemIconWidth() const = 0;
    virtual int systemIconHeight() const = 0;
    // WM_ICONERASEBKGND with this context.
    virtual void eraseIconBackground() = 0;
    // DrawIcon, at client coordinates.
    virtual void drawIcon(const Icon& icon, int x, int y) = 0;
};

}  // namespace quillet
