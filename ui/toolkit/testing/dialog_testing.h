#pragma once

// What tests and tools may reach behind the dialog class: the open windows, a window's
// controls and focus, the backend's window, and dialogs over a template of the test's own.
// The product's windows use none of this.

#include <vector>

#include "ui/toolkit/dialog.h"

namespace quillet {

// The way in for the hooks below.
struct DialogTestAccess {
    static bool attach(const Dialog& dialog, int id, Control& handle,
                       bool (*accepts)(ControlKind)) {
        return dialog.attachControl(id, handle, accepts);
    }
    static DialogWindow* window(const Dialog& dialog) { return dialog.window_; }
    static void useTemplate(Dialog& dialog, const DialogTemplate& dialogTemplate) {
        dialog.template_ = &dialogTemplate;
    }
};

// Every dialog whose window exists, modal or modeless, shown or not yet shown, in the order
// the windows were created: the last is the newest.
std::vector<Dialog*> openWindows();

// The backend's window while it exists, else null.
inline DialogWindow* dialogWindow(const Dialog& dialog) {
    return DialogTestAccess::window(dialog);
}

// The id of the control that has the keyboard focus, or 0 when none of the dialog's has it.
// Defined by each backend.
int focusedControlId(const Dialog& dialog);

// A handle to a control of the open window; unbound when there is none with that id, or it
// is of another kind.
template <class Handle>
Handle controlHandle(const Dialog& dialog, int id) {
    Handle handle;
    DialogTestAccess::attach(dialog, id, handle, &Handle::accepts);
    return handle;
}

// A dialog over a template of the caller's, which must outlive it, or over an installed one.
class TemplateDialog : public Dialog {
  public:
    using Dialog::Dialog;
    explicit TemplateDialog(const DialogTemplate& dialogTemplate, Dialog* owner = nullptr)
        : Dialog(kNoTemplateId, owner) {
        DialogTestAccess::useTemplate(*this, dialogTemplate);
    }

  private:
    static constexpr int kNoTemplateId = -1;
};

}  // namespace quillet
