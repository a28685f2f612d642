#pragma once

#include <memory>

#include "ui/toolkit/resources.h"

namespace quillet {

class Dialog;
// The backend's application state (a QApplication, or nothing much on Win32). Every member
// of ApplicationBase is defined by each backend.
class ApplicationHost;

// The application object: the program's one instance initialisation decides everything.
//   int main(int argc, char** argv) { Application app(argc, argv); return app.run(); }
class ApplicationBase {
  public:
    // Installs the catalogue for every window of the run.
    ApplicationBase(int& argc, char** argv, const ResourceCatalog& resources);
    virtual ~ApplicationBase();
    ApplicationBase(const ApplicationBase&) = delete;
    ApplicationBase& operator=(const ApplicationBase&) = delete;

    // Runs initInstance; when it returns false the application ends at once without a
    // message loop of its own, else the loop runs until the application quits.
    int run();

  protected:
    virtual bool initInstance() = 0;
    // The three-dimensional look of dialog controls for the whole application.
    void enable3dControls();
    // Records the main window, which then owns dialogs constructed without an owner.
    static void setMainWindow(Dialog* window);

  private:
    std::unique_ptr<ApplicationHost> host_;
};

}  // namespace quillet
