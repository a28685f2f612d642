// The application object over a QApplication.
#include <QApplication>
#include <memory>

#include "ui/toolkit/application_base.h"
#include "ui/toolkit/dialog.h"

namespace quillet {

class ApplicationHost {
  public:
    ApplicationHost(int& argc, char** argv) {
        // A test may have made the one QApplication already.
        if (QApplication::instance() == nullptr) {
            ownApplication_ = std::make_unique<QApplication>(argc, argv);
        }
    }

  private:
    std::unique_ptr<QApplication> ownApplication_;
};

ApplicationBase::ApplicationBase(int& argc, char** argv, const ResourceCatalog& resources) {
    installResources(resources);
    host_ = std::make_unique<ApplicationHost>(argc, argv);
}

ApplicationBase::~ApplicationBase() = default;

int ApplicationBase::run() {
    if (!initInstance()) {
        return 0;
    }
    return QApplication::exec();
}

// Qt's styles draw dialog controls in relief already; there is no switch to throw.
void ApplicationBase::enable3dControls() {}

void ApplicationBase::setMainWindow(Dialog* window) {
    Dialog::setMainWindow(window);
}

}  // namespace quillet
