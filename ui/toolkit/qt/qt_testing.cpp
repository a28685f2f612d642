// The testing hooks on Qt.
//
// Where they still differ from the dialog manager:
// - focusedControlId gives the last child that had the focus, also while another window
//   is active.
#include "ui/toolkit/qt/qt_testing.h"

#include "ui/toolkit/qt/dialog_window.h"

namespace quillet {

int focusedControlId(const Dialog& dialog) {
    const DialogWindow* window = DialogWindow::of(dialog);
    if (window == nullptr) {
        return 0;
    }
    const ControlTemplate* focused = window->controlHolding(window->focusWidget());
    return focused != nullptr ? focused->id : 0;
}

QDialog* qtWindow(const Dialog& dialog) {
    return DialogWindow::of(dialog);
}

QWidget* qtControl(const Dialog& dialog, int id) {
    const DialogWindow* window = DialogWindow::of(dialog);
    return window != nullptr ? window->control(id) : nullptr;
}

QWidget* qtControlAt(const Dialog& dialog, std::size_t index) {
    const DialogWindow* window = DialogWindow::of(dialog);
    return window != nullptr ? window->controlAt(index) : nullptr;
}

QRect qtClientArea(const Dialog& dialog) {
    const DialogWindow* window = DialogWindow::of(dialog);
    return window != nullptr ? window->clientArea() : QRect();
}

Dialog* dialogOf(const QWidget* widget) {
    if (widget == nullptr) {
        return nullptr;
    }
    auto* window = qobject_cast<DialogWindow*>(widget->window());
    return window != nullptr ? &window->dialog() : nullptr;
}

}  // namespace quillet
