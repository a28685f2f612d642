#pragma once

#include "ui/toolkit/dialog.h"

namespace quillet {

// Asks which serial port the printer is on. The modal run returns 0 for COM1, 1 for COM2
// and kIdCancel when the user gives up.
class PortSelectionWindow : public Dialog {
  public:
    PortSelectionWindow();

  protected:
    bool doDataExchange() override;
    bool onInitDialog() override;
    void onOK() override;

  private:
    ButtonControl com1_;
};

}  // namespace quillet
