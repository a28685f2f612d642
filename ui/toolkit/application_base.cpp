#include "ui/toolkit/application_base.h"

#include "ui/toolkit/dialog.h"

namespace quillet {

ApplicationBase::ApplicationBase(int& argc, char** argv) : QApplication(argc, argv) {}

int ApplicationBase::run() {
    if (!initInstance()) {
        return 0;
    }
    return exec();
}

void ApplicationBase::setMainWindow(QWidget* window) {
    Dialog::setMainWindow(window);
}

}  // namespace quillet
