// Dropping the input that waits in the thread's message queue: the keyboard's messages and
// the mouse's, in the client area and on the frame. Paint, close, timer and posted messages
// stay where they are.
#include <windows.h>

#include "ui/toolkit/backend_window.h"

namespace quillet {
namespace {

void removeAll(UINT first, UINT last) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE | PM_NOYIELD)) {
    }
}

}  // namespace

void discardQueuedInput() {
    removeAll(WM_KEYFIRST, WM_KEYLAST);
    removeAll(WM_MOUSEFIRST, WM_MOUSELAST);
    removeAll(WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK);
}

}  // namespace quillet
