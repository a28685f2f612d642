// The dialog base's members that need the window: runs, caption, icon, window menu, focus
// and control binding, over a DialogWindow.
#include <QApplication>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/qt/dialog_window.h"
#include "ui/toolkit/qt/qt_bytes.h"
#include "ui/toolkit/qt/qt_icons.h"
#include "ui/toolkit/qt/window_menu.h"

namespace quillet {
namespace {

const DialogTemplate& templateOrEmpty(int id) {
    static const DialogTemplate kEmpty{};
    const DialogTemplate* found = findDialogTemplate(id);
    return found != nullptr ? *found : kEmpty;
}

// With no owner of its own, the main window at the time of the run owns the window.
QWidget* ownerWindowFor(const Dialog& dialog, Dialog* explicitOwner) {
    Dialog* owner = explicitOwner != nullptr ? explicitOwner : Dialog::mainWindow();
    if (owner == &dialog || owner == nullptr) {
        return nullptr;
    }
    return owner->window();
}

}  // namespace

Dialog::Dialog(int templateId, Dialog* owner)
    : template_(&templateOrEmpty(templateId)), explicitOwner_(owner) {}

Dialog::Dialog(const DialogTemplate& dialogTemplate, Dialog* owner)
    : template_(&dialogTemplate), explicitOwner_(owner) {}

Dialog::~Dialog() {
    destroyWindow();
    if (mainWindow() == this) {
        setMainWindow(nullptr);
    }
}

int Dialog::runModal() {
    destroyWindow();
    window_ = std::make_unique<DialogWindow>(*this, ownerWindowFor(*this, explicitOwner_));
    noteWindowCreated();
    window_->setModal(true);
    // An initialisation that ends the dialog leaves it never shown.
    const bool goesOn = window_->initialise();
    if (goesOn) {
        window_->placeWindow();
    }
    const int result = goesOn ? window_->runModalLoop() : window_->result();
    destroyWindow();
    return result;
}

bool Dialog::createModeless() {
    destroyWindow();
    window_ = std::make_unique<DialogWindow>(*this, ownerWindowFor(*this, explicitOwner_));
    noteWindowCreated();
    window_->setModal(false);
    if (!window_->initialise()) {
        return false;
    }
    if (template_->style & VisibleAtCreation) {
        window_->placeWindow();
        window_->showAndPaint();
    }
    return true;
}

void Dialog::destroyWindow() {
    if (window_ == nullptr) {
        return;
    }
    window_->hide();
    noteWindowDestroyed();
    window_.reset();
}

void Dialog::endDialog(int result) {
    if (window_ != nullptr) {
        window_->end(result);
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

int Dialog::focusedControlId() const {
    if (window_ == nullptr) {
        return 0;
    }
    const ControlTemplate* focused = window_->controlHolding(window_->focusWidget());
    return focused != nullptr ? focused->id : 0;
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
