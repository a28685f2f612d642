#pragma once

// What Qt tests and tools may reach behind the toolkit's neutral interface: the Qt window
// and widgets of a dialog, and the dialog of a widget; with the neutral hooks.

#include <QDialog>
#include <QRect>
#include <cstddef>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/testing/dialog_testing.h"

namespace quillet {

// The dialog's window while it exists, else null.
QDialog* qtWindow(const Dialog& dialog);
// The widget of the control with that id, or null.
QWidget* qtControl(const Dialog& dialog, int id);
template <class T>
T* qtControlAs(const Dialog& dialog, int id) {
    return qobject_cast<T*>(qtControl(dialog, id));
}
// The widget made from the template's entry at that position (ids may repeat, or be -1).
QWidget* qtControlAt(const Dialog& dialog, std::size_t index);
// The client area in window pixels.
QRect qtClientArea(const Dialog& dialog);
// The dialog whose window is, or holds, the widget; null for other widgets.
Dialog* dialogOf(const QWidget* widget);

}  // namespace quillet
