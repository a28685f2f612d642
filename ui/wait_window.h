#pragma once

#include "ui/toolkit/dialog.h"

namespace quillet {

// "Please wait" while the window thread is busy with the printer. Constructing it puts it on
// screen, painted; the caller removes it with destroyWindow and then destroys the object.
class WaitWindow : public Dialog {
  public:
    WaitWindow();
};

}  // namespace quillet
