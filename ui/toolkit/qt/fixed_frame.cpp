#include "ui/toolkit/qt/fixed_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace quillet {
namespace {

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace

FixedFrame::FixedFrame(QWidget& window) : QObject(&window), window_(window) {
    if (onWayland()) {
        window.installEventFilter(this);
    }
}

// The window handle comes with the first show. Only it sees every state the compositor sets:
// the widget hears only of those it did not ask for itself.
void FixedFrame::watch(QWindow& handle) {
    if (watched_ != &handle) {
        watched_ = &handle;
        handle.installEventFilter(this);
    }
}

// The compositor's answer, once applied, is undone; what the window sends next must fit it.
// - Maximised: the surface must have the given size, which a fixed window cannot take, and
//   a compositor that saw no frame since sends no new state on a plain "unmaximise"; asking
//   for the full screen instead gets a state the window may be smaller in.
// - Full screen: once a frame of that state is out, the normal state is asked for.
bool FixedFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Show && window_.windowHandle()) {
        watch(*window_.windowHandle());
        return false;
    }
    if (watched != watched_ || event->type() != QEvent::WindowStateChange) {
        return false;
    }
    QWindow& handle = *watched_;
    const Qt::WindowStates state = handle.windowStates();
    if (state & Qt::WindowMaximized) {
        handle.setWindowStates((state & ~Qt::WindowMaximized) | Qt::WindowFullScreen);
    } else if (state & Qt::WindowFullScreen) {
        window_.repaint();
        handle.setWindowStates(state & ~Qt::WindowFullScreen);
    }
    return false;
}

}  // namespace quillet
