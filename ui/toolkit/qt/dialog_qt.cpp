// The dialog base's members that need the window: runs, caption, icon, window menu and
// control binding, over a DialogWindow.
//
// Where it still differs from the dialog manager:
// - Owner: the main window (or the given owner) owns a new dialog, not the window already
//   open over it; Qt's modal run blocks the other windows.
// - A minimised window has only its window icon: no painting of its own, no drag icon.
// - There is no modal run that cannot start, so no result of -1.
#include <QApplication>
#include <QPointer>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/qt/accessibility_qt.h"
#include "ui/toolkit/qt/dialog_window.h"
#include "ui/toolkit/qt/qt_bytes.h"
#include "ui/toolkit/qt/qt_icons.h"
#include "ui/toolkit/qt/window_menu.h"

namespace quillet {
namespace {

// With no owner of its own, the main window at the time of the run owns the window.
QWidget* ownerWindowFor(const Dialog& dialog, Dialog* explicitOwner) {
    Dialog* owner = explicitOwner != nullptr ? explicitOwner : Dialog::mainWindow();
    if (owner == &dialog || owner == nullptr) {
        return nullptr;
    }
    return DialogWindow::of(*owner);
}

}  // namespace

// The window registers itself with the dialog when it is made and forgets it when it goes,
// however that comes: here, or with its owner.
int Dialog::runModal() {
    destroyWindow();
    modal_ = true;
    installAccessibleWindows();
    QWidget* owner = ownerWindowFor(*this, explicitOwner_);
    // The window the user comes back to: the one in use now, which may be another modal
    // window over the owner.
    const QPointer<QWidget> returnTo =
        QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : owner;
    auto* window = new DialogWindow(*this, owner);
    window->setModal(true);
    // An initialisation that ends the dialog leaves it never shown.
    const bool goesOn = window->initialise();
    if (goesOn) {
        window->placeWindow();
    }
    const int result = goesOn ? window->runModalLoop() : window->result();
    destroyWindow();
    if (goesOn && returnTo != nullptr && returnTo->isVisible()) {
        reportFocusReturned(*returnTo);
    }
    return result;
}

bool Dialog::createModeless() {
    destroyWindow();
    modal_ = false;
    installAccessibleWindows();
    auto* window = new DialogWindow(*this, ownerWindowFor(*this, explicitOwner_));
    window->setModal(false);
    if (!window->initialise()) {
        return false;
    }
    if (template_->style & VisibleAtCreation) {
        window->placeWindow();
        window->showAndPaint();
    }
    return true;
}

void Dialog::destroyWindow() {
    if (window_ == nullptr) {
        return;
    }
    // A modeless window that had the focus gives it back to its owner (a modal run reports
    // its own return).
    QWidget* returnTo =
        !window_->isModal() && window_->isActiveWindow() ? window_->parentWidget() : nullptr;
    window_->hide();
    delete window_;
    if (returnTo != nullptr && returnTo->isVisible()) {
        reportFocusReturned(*returnTo);
    }
}

bool Dialog::isWindowVisible() const {
    return window_ != nullptr && window_->isVisible();
}

bool Dialog::isMinimised() const {
    return window_ != nullptr && window_->isMinimized();
}

void Dialog::setCaption(std::string_view text) {
    if (window_ != nullptr) {
        window_->setWindowTitle(fromBytes(text));
    }
}

std::string Dialog::caption() const {
    return window_ != nullptr ? toBytes(window_->windowTitle()) : std::string();
}

void Dialog::setIcon(const Icon& icon) {
    if (window_ != nullptr) {
        window_->setWindowIcon(qtIcon(icon));
    }
}

bool Dialog::hasSystemMenu() const {
    return window_ != nullptr && window_->windowMenu() != nullptr;
}

void Dialog::appendSystemMenuSeparator() {
    if (hasSystemMenu()) {
        window_->windowMenu()->appendSeparator();
    }
}

void Dialog::appendSystemMenuEntry(int id, std::string_view text) {
    if (hasSystemMenu()) {
        window_->windowMenu()->appendEntry(id, fromBytes(text));
    }
}

bool Dialog::attachControl(int id, Control& handle, bool (*accepts)(ControlKind)) const {
    handle.attach(nullptr);
    if (window_ == nullptr) {
        return false;
    }
    for (const BuiltControl& built : window_->controls()) {
        if (built.source->id == id) {
            if (!accepts(built.source->kind)) {
                return false;
            }
            handle.attach(built.widget);
            return true;
        }
    }
    return false;
}

}  // namespace quillet
