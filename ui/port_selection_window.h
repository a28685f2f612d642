#pragma once

#include "ui/toolkit/dialog.h"

namespace quillet {

// Asks which serial port the printer is on. The modal run returns kChoseCom1, kChoseCom2
// or kIdCancel when the user gives up.
class PortSelectionWindow : public Dialog {
  public:
    static constexpr int kChoseCom1 = 0;
    static constexpr int kChoseCom2 = 1;

    PortSelectionWindow();

  protected:
    bool doDataExchange() override;
    bool onInitDialog() override;
    void onOK() override;

  private:
    ButtonControl com1_;
};

}  // namespace quillet
