// The application object over a QApplication.
//
// Where it still differs from the dialog manager:
// - enable3dControls does nothing here either: Qt's style draws the 3D look.
#include <QApplication>
#include <QSocketNotifier>
#include <memory>

#include "ui/toolkit/application_base.h"
#include "ui/toolkit/dialog.h"
#include "ui/toolkit/end_signals.h"

namespace quillet {

// The system's end signals reach the main window through the event loop, which does not
// run while an exchange with the printer holds the window thread.
class ApplicationHost {
  public:
    ApplicationHost(int& argc, char** argv) : application_(argc, argv) {
        const int fd = catchEndSignals();
        if (fd < 0) {
            return;
        }
        endSignals_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(endSignals_.get(), &QSocketNotifier::activated, [fd] {
            takeEndSignals(fd);
            Dialog::requestEnd(Dialog::EndTiming::WhenIdle);
        });
    }
    ~ApplicationHost() { releaseEndSignals(); }
    ApplicationHost(const ApplicationHost&) = delete;
    ApplicationHost& operator=(const ApplicationHost&) = delete;

  private:
    QApplication application_;
    std::unique_ptr<QSocketNotifier> endSignals_;
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
