#include "ui/application.h"

#include "ui/main_window.h"
#include "ui/resources/resource_catalog.h"

namespace quillet {

Application::Application(int& argc, char** argv)
    : ApplicationBase(argc, argv, quilletResources()) {}

bool Application::initInstance() {
    enable3dControls();
    MainWindow window;
    setMainWindow(&window);
    window.runModal();
    return false;
}

}  // namespace quillet
