// The user's hands on Qt: QTest's key and mouse events, delivered through Qt's event path to
// the widget under the click or with the focus.
#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QTest>

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

}  // namespace

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
    QAbstractItemView* view = list->view();
    const QPoint at = view->visualRect(view->model()->index(index, 0)).center();
    QTest::mouseMove(view->viewport(), QPoint(1, at.y()));
    QTest::mouseMove(view->viewport(), at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
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
    static const Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab,  Qt::Key_Backspace,
                                    Qt::Key_F4,     Qt::Key_Delete, Qt::Key_Home, Qt::Key_End,
                                    Qt::Key_Up,     Qt::Key_Down};
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
