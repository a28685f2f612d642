#pragma once

#include <windows.h>

#include <oleacc.h>

#include <vector>

#include "ui/toolkit/dialog_template.h"

namespace quillet::win32 {

// The names a screen reader gets for a dialog's controls where the MSAA label rule gives a
// wrong one (a list titled by a group box, labels after the list they title) or a
// meaningless one (an icon, named by its resource ordinal): Dynamic Annotation of each
// control's PROPID_ACC_NAME, made when the window is initialised and cleared before its
// controls go. An alert dialog's client is annotated with the alert role. Where the
// system has no annotation service, the controls keep the names the rule gives.
class AccessibleNames {
  public:
    AccessibleNames() = default;
    ~AccessibleNames() { clear(); }
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    // The controls are the dialog's children, in template order.
    void annotate(HWND dialog, const DialogTemplate& dialogTemplate);
    void clear();

  private:
    void annotateControl(HWND control, const ControlTemplate& controlTemplate);

    IAccPropServices* services_ = nullptr;
    bool comEntered_ = false;
    HWND dialog_ = nullptr;
    bool roleAnnotated_ = false;
    std::vector<HWND> named_;
};

}  // namespace quillet::win32
