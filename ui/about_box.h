#pragma once

#include "ui/toolkit/dialog.h"

namespace quillet {

// The product name and version, run modally from the main window's window menu.
class AboutBox : public Dialog {
  public:
    AboutBox();
};

}  // namespace quillet
