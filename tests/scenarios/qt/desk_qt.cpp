// The user's hands on Qt: QTest's key and mouse events, delivered through Qt's event path to
// the widget under the click or with the focus.
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>
#include <signal.h>
#include <unistd.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QInputDevice>
#include <QListWidget>
#include <QMenu>
#include <QPointingDevice>
#include <QTest>
#include <QWindow>

#include "tests/scenarios/by_the_clock.h"
#include "tests/scenarios/desk.h"
#include "tests/scenarios/user_script.h"
#include "ui/toolkit/qt/qt_controls.h"
#include "ui/toolkit/qt/qt_testing.h"

namespace quillet::scenario::desk {

namespace {

// Where a key goes: an open menu or list (its focused part), else the focused control,
// else the window in front.
QWidget* keyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
    }
    if (QWidget* focus = QApplication::focusWidget()) {
        return focus;
    }
    const Dialog* front = frontWindow();
    return front != nullptr ? qtWindow(*front) : nullptr;
}

QWidget* controlOf(const Dialog& dialog, int controlId) {
    QWidget* widget = qtControl(dialog, controlId);
    EXPECT_NE(widget, nullptr) << "no control " << controlId;
    return widget;
}

using Queued = QWindowSystemInterface::AsynchronousDelivery;

// Where a click on the control lands: its window and the middle of it there.
struct ClickPoint {
    QWindow* window = nullptr;
    QPointF local;
    QPointF global;
};

ClickPoint middleOf(const Dialog& dialog, int controlId) {
    QWidget* widget = controlOf(dialog, controlId);
    if (widget == nullptr) {
        return {};
    }
    const QPoint middle = widget->rect().center();
    return {widget->window()->windowHandle(), widget->mapTo(widget->window(), middle),
            widget->mapToGlobal(middle)};
}

// Into Qt's queue of the platform's events, as the platform puts a user's input; safe from
// any thread.
void queueClickAt(const ClickPoint& at) {
    if (at.window == nullptr) {
        return;
    }
    QWindowSystemInterface::handleMouseEvent<Queued>(at.window, at.local, at.global, Qt::LeftButton,
                                                     Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Queued>(at.window, at.local, at.global, Qt::NoButton,
                                                     Qt::LeftButton, QEvent::MouseButtonRelease);
}

const Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab,  Qt::Key_Backspace,
                         Qt::Key_F4,     Qt::Key_Delete, Qt::Key_Home, Qt::Key_End,
                         Qt::Key_Up,     Qt::Key_Down,   Qt::Key_Space};

QWindow* frontQWindow() {
    const Dialog* front = frontWindow();
    QWidget* window = front != nullptr ? qtWindow(*front) : nullptr;
    return window != nullptr ? window->windowHandle() : nullptr;
}

void queueKeyTo(QWindow* window, Key key) {
    const Qt::Key code = kKeys[static_cast<int>(key)];
    QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyPress, code, Qt::NoModifier);
    QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyRelease, code,
                                                   Qt::NoModifier);
}

// Qt makes its default devices, children of the application, on first use: on this thread.
void readyForOtherThreads() {
    QPointingDevice::primaryPointingDevice();
    QInputDevice::primaryKeyboard();
}

}  // namespace

void queueClick(const Dialog& dialog, int controlId) {
    queueClickAt(middleOf(dialog, controlId));
}

void queuePress(Key key) {
    queueKeyTo(frontQWindow(), key);
}

void doubleClick(const Dialog& dialog, int controlId) {
    const ClickPoint at = middleOf(dialog, controlId);
    readyForOtherThreads();
    byTheClock({{0, [at] { queueClickAt(at); }}, {100, [at] { queueClickAt(at); }}});
}

// To whichever window has the focus when Qt takes the key: the window in front now may be
// gone by the second.
void pressTwice(Key key, int apartMs) {
    readyForOtherThreads();
    byTheClock(
        {{0, [key] { queueKeyTo(nullptr, key); }}, {apartMs, [key] { queueKeyTo(nullptr, key); }}});
}

void endFromSystem(SystemEnd kind) {
    static const int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
    const int signal = kSignals[static_cast<int>(kind)];
    byTheClock({{0, [signal] { ::kill(::getpid(), signal); }}});
}

void click(const Dialog& dialog, int controlId) {
    if (QWidget* widget = controlOf(dialog, controlId)) {
        QTest::mouseClick(widget, Qt::LeftButton);
    }
}

void clickEntry(const Dialog& dialog, int listBoxId, int index) {
    auto* list = qobject_cast<QListWidget*>(controlOf(dialog, listBoxId));
    if (list != nullptr && index < list->count()) {
        const QRect entry = list->visualItemRect(list->item(index));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    }
}

// The popup takes a click only once the pointer has come some way from the click that
// opened it: it comes from the popup's left edge, far from the list's middle.
void chooseEntry(const Dialog& dialog, int dropDownId, int index) {
    auto* list = qobject_cast<DropDownList*>(controlOf(dialog, dropDownId));
    if (list == nullptr) {
        return;
    }
    QTest::mouseClick(list, Qt::LeftButton);
    // In the open list, by keys: a click on an entry is taken or ignored by how long after
    // the opening click it comes, which a loaded machine makes a matter of chance.
    QAbstractItemView* view = list->view();
    QTest::keyClick(view, Qt::Key_Home);
    for (int step = 0; step < index; ++step) {
        QTest::keyClick(view, Qt::Key_Down);
    }
    QTest::keyClick(view, Qt::Key_Return);
}

// With the character as the key's text; the key code is the one a keyboard gives it.
void type(std::string_view text) {
    for (const QChar c : QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))) {
        QTest::sendKeyEvent(QTest::Click, keyTarget(), static_cast<Qt::Key>(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
    }
}

void paste(std::string_view text) {
    QApplication::clipboard()->setText(
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    QTest::keyClick(keyTarget(), Qt::Key_V, Qt::ControlModifier);
}

void press(Key key) {
    QTest::keyClick(keyTarget(), kKeys[static_cast<int>(key)]);
}

void chooseFromWindowMenu(std::string_view entry) {
    QTest::keyClick(keyTarget(), Qt::Key_Space, Qt::AltModifier);
    const std::size_t mark = entry.find('&');
    EXPECT_NE(QApplication::activePopupWidget(), nullptr) << "Alt+Space opened no menu";
    if (mark != std::string_view::npos && mark + 1 < entry.size()) {
        type(entry.substr(mark + 1, 1));
    }
}

bool closeMenus() {
    QWidget* popup = QApplication::activePopupWidget();
    if (popup != nullptr) {
        popup->close();
    }
    return popup != nullptr;
}

}  // namespace quillet::scenario::desk
