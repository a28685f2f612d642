// The application object's members that do not depend on the backend.
#include "ui/toolkit/application_base.h"

#include "ui/toolkit/dialog.h"

namespace quillet {

// Both backends draw dialog controls in relief already (Qt's styles, the dialog manager's
// DS_3DLOOK): there is no switch to throw.
void ApplicationBase::enable3dControls() {}

void ApplicationBase::setMainWindow(Dialog* window) {
    Dialog::setMainWindow(window);
}

}  // namespace quillet
