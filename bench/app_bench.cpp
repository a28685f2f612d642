// Runs Quillet's own code path against the emulated printer at 9600-baud pacing and
// reports start-up time, the load time beside its pacing floor, idle CPU and peak memory.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "emulator/kv31_emulator.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "ui/application.h"

namespace {

double nowMs(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// When the kernel started this process, on the boot-time clock.
double processStartMs() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    return std::stod(field) * 1000.0 / sysconf(_SC_CLK_TCK);
}

QDialog* visibleDialog(const QString& caption) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog->isVisible() && dialog->windowTitle() == caption) {
            return dialog;
        }
    }
    return nullptr;
}

QPushButton* button(QDialog* dialog, const QString& text) {
    for (auto* b : dialog->findChildren<QPushButton*>()) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

struct Figures {
    double firstWindowMs = -1;  // process start to the port selection window
    double choiceAtMs = 0;
    double loadMs = -1;  // OK in the port selection to the loaded list
    double idleCpuMs = -1;
    bool loaded = false;
};

// Plays the user: OK in the port selection, wait for the six entries, idle, Cancel.
class BenchUser : public QObject {
  public:
    BenchUser(Figures& figures, double startMs) : figures_(figures), startMs_(startMs) {
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, [this] { step(); });
        timer_.start();
    }

  private:
    void step() {
        if (stage_ == 0) {
            if (QDialog* ports = visibleDialog("Select Serial Port")) {
                figures_.firstWindowMs = nowMs(CLOCK_BOOTTIME) - startMs_;
                figures_.choiceAtMs = nowMs(CLOCK_MONOTONIC);
                stage_ = 1;
                button(ports, "OK")->click();
            }
        } else if (stage_ == 1) {
            QDialog* main = visibleDialog("Quillet");
            auto* list = main ? main->findChild<QListWidget*>() : nullptr;
            if (list && list->count() == 6 && !visibleDialog("Wait...")) {
                figures_.loadMs = nowMs(CLOCK_MONOTONIC) - figures_.choiceAtMs;
                figures_.loaded = true;
                stage_ = 2;
                timer_.stop();
                idleFrom_ = nowMs(CLOCK_PROCESS_CPUTIME_ID);
                QTimer::singleShot(10000, this, [this, main] {
                    figures_.idleCpuMs = nowMs(CLOCK_PROCESS_CPUTIME_ID) - idleFrom_;
                    button(main, "Cancel")->click();
                });
            }
        }
    }

    Figures& figures_;
    double startMs_;
    double idleFrom_ = 0;
    int stage_ = 0;
    QTimer timer_;
};

}  // namespace

int main(int argc, char** argv) {
    const double startMs = processStartMs();
    kv31::Emulator printer;
    if (!printer.start()) {
        std::fputs("no pseudo-terminal for the emulator\n", stderr);
        return 1;
    }
    quillet::routePort("COM1", printer.devicePath());

    Figures figures;
    {
        quillet::Application application(argc, argv);
        BenchUser user(figures, startMs);
        application.run();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    printer.stop();

    // The first readback follows the mode-5 command at once; each waits one 500 ms
    // pause for its reply, during which the reply's bytes arrive.
    const double floorMs = 6 * 500.0;
    std::printf("%-48s %10s %10s\n", "measure", "value", "target");
    std::printf("%-48s %7.0f ms %10s\n", "process start to the first window", figures.firstWindowMs,
                "< 300 ms");
    std::printf("%-48s %7.0f ms %10s\n", "port choice to the loaded list", figures.loadMs, "");
    std::printf("%-48s %7.0f ms %10s\n", "pacing floor", floorMs, "");
    std::printf("%-48s %7.1f %% %10s\n", "over the floor",
                100.0 * (figures.loadMs - floorMs) / floorMs, "< 5 %");
    std::printf("%-48s %7.1f ms %10s\n", "CPU over 10 s idle in the main window", figures.idleCpuMs,
                "< 20 ms");
    std::printf("%-48s %7.1f MiB %9s\n", "peak resident memory", usage.ru_maxrss / 1024.0,
                "< 60 MiB");
    return figures.loaded ? 0 : 1;
}
