#include "ui/application.h"

#include "ui/main_window.h"

namespace quillet {

Application::Application(int& argc, char** argv) : ApplicationBase(argc, argv) {}

bool Application::initInstance() {
    // Qt's styles draw dialog controls in relief already; there is no switch to throw.
    MainWindow window;
    setMainWindow(&window);
    window.runModal();
    return false;
}

}  // namespace quillet
