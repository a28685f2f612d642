// The application on Win32: common controls, and a message loop only when the instance
// initialisation asks for one.
#include <windows.h>

#include <commctrl.h>

#include "ui/toolkit/application_base.h"

namespace quillet {

// The dialog manager keeps all the state there is.
class ApplicationHost {};

ApplicationBase::ApplicationBase(int& /*argc*/, char** /*argv*/, const ResourceCatalog& resources)
    : host_(std::make_unique<ApplicationHost>()) {
    installResources(resources);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

ApplicationBase::~ApplicationBase() = default;

int ApplicationBase::run() {
    if (!initInstance()) {
        return 0;
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace quillet
