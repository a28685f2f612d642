#include "ui/toolkit/qt/qt_access.h"

#include "ui/toolkit/qt/dialog_window.h"

namespace quillet {

QDialog* qtWindow(const Dialog& dialog) {
    return dialog.window();
}

QWidget* qtControl(const Dialog& dialog, int id) {
    return dialog.window() != nullptr ? dialog.window()->control(id) : nullptr;
}

QWidget* qtControlAt(const Dialog& dialog, std::size_t index) {
    return dialog.window() != nullptr ? dialog.window()->controlAt(index) : nullptr;
}

QRect qtClientArea(const Dialog& dialog) {
    return dialog.window() != nullptr ? dialog.window()->clientArea() : QRect();
}

Dialog* dialogOf(const QWidget* widget) {
    if (widget == nullptr) {
        return nullptr;
    }
    auto* window = qobject_cast<DialogWindow*>(widget->window());
    return window != nullptr ? &window->dialog() : nullptr;
}

}  // namespace quillet
