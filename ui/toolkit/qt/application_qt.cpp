// The application object over a QApplication.
//
// Where it still differs from the dialog manager:
// - enable3dControls does nothing here either: Qt's style draws the 3D look.
#include <QApplication>
#include <memory>

#include "ui/toolkit/application_base.h"

namespace quillet {

class ApplicationHost {
  public:
    ApplicationHost(int& argc, char** argv) : application_(argc, argv) {}

  private:
    QApplication application_;
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

}  // namespace quillet
