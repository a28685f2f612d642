// Dropping the input that waits while the window thread was busy. Qt leaves it in the
// platform's queue (the X or Wayland connection, then Qt's own queue of window-system
// events) until the event loop runs again; it comes back out only through delivery, so it
// is delivered here to a filter that eats it, and everything else in those queues (paint,
// close, activation) goes its normal way. Timers wait for the loop.
#include <QApplication>
#include <QEvent>
#include <QObject>

#include "ui/toolkit/backend_window.h"

namespace quillet {
namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::NonClientAreaMouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

class InputEater : public QObject {
  protected:
    // A key's shortcut check comes before the key itself, and is sent by Qt, not the system.
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        return (event->spontaneous() && isUserInput(type)) || type == QEvent::ShortcutOverride ||
               type == QEvent::Shortcut;
    }
};

// The platform's queue hands its events to Qt's queue in one pass and Qt delivers them in
// the next; a few passes empty both.
constexpr int kPasses = 4;

}  // namespace

void discardQueuedInput() {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    InputEater eater;
    QCoreApplication::instance()->installEventFilter(&eater);
    for (int pass = 0; pass < kPasses; ++pass) {
        QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers |
                                        QEventLoop::X11ExcludeTimers);
    }
    QCoreApplication::instance()->removeEventFilter(&eater);
}

}  // namespace quillet
