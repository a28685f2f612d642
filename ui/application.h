#pragma once

#include "ui/toolkit/application_base.h"

namespace quillet {

// The program: runs the main window modally and ends when it closes.
class Application : public ApplicationBase {
  public:
    Application(int& argc, char** argv);

  protected:
    // Runs the main window; always false, so no message loop follows.
    bool initInstance() override;
};

}  // namespace quillet
