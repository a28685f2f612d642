// The window menu of a dialog with a system menu.
//
// Where it still differs from the system menu:
// - It holds only Close and our own entries, opened by Alt+Space, by the keys of a context
//   menu (Shift+F10, the Menu key) or a right click on the background.
// - Alt+F4 in a window without a system menu is not handled (on Win32 it closes like Esc).
#include "ui/toolkit/qt/window_menu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include "ui/toolkit/qt/dialog_window.h"

namespace quillet {
namespace {

bool isAltSpace(const QKeyEvent* key) {
    return key->key() == Qt::Key_Space &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

// The keys that open a context menu. They open the window menu, as a right click on the
// background does, except in an edit box, which has its own.
bool isContextMenuKey(const QObject* receiver, const QKeyEvent* key) {
    if (qobject_cast<const QLineEdit*>(receiver) != nullptr) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
           (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}

}  // namespace

WindowMenu::WindowMenu(DialogWindow& window) : window_(window), menu_(new QMenu(&window)) {
    menu_->setObjectName(QStringLiteral("windowMenu"));
    QAction* close = menu_->addAction(QStringLiteral("&Close"));
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    close->setData(kSysCommandClose);
    QObject::connect(menu_, &QMenu::triggered, this,
                     [this](QAction* action) { choose(action->data().toInt()); });
    qApp->installEventFilter(this);
}

WindowMenu::~WindowMenu() {
    qApp->removeEventFilter(this);
    delete menu_.data();
}

void WindowMenu::appendSeparator() {
    menu_->addSeparator();
}

void WindowMenu::appendEntry(int id, const QString& text) {
    menu_->addAction(text)->setData(id);
}

bool WindowMenu::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &window_ || !window_.isVisible()) {
        return false;
    }
    if (event->type() == QEvent::KeyPress &&
        (isAltSpace(static_cast<QKeyEvent*>(event)) ||
         isContextMenuKey(watched, static_cast<QKeyEvent*>(event)))) {
        menu_->popup(window_.mapToGlobal(window_.rect().topLeft()));
        return true;
    }
    if (event->type() == QEvent::ContextMenu && widget == &window_) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        if (onBackground(menuEvent->pos())) {
            menu_->popup(menuEvent->globalPos());
            return true;
        }
    }
    return false;
}

// Statics and group frames are part of the background, as they are to the mouse.
bool WindowMenu::onBackground(QPoint pos) const {
    QWidget* child = window_.childAt(pos);
    return child == nullptr || qobject_cast<QLabel*>(child) != nullptr ||
           qobject_cast<QGroupBox*>(child) != nullptr ||
           child->objectName() == QLatin1String("sunkenEdge");
}

// Close left to the default handling closes the window like the close box.
void WindowMenu::choose(int id) {
    if (window_.dialog().dispatchSysCommand(id) && (id & kSystemCommandMask) == kSysCommandClose) {
        window_.close();
    }
}

}  // namespace quillet
