// Saves a picture of each window for review by eye: screenshot_tool <output folder>.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "ui/about_box.h"
#include "ui/failure_notice.h"
#include "ui/header_editor.h"
#include "ui/port_selection_window.h"
#include "ui/resources/resource_catalog.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/qt/qt_testing.h"
#include "ui/wait_window.h"

namespace {

using quillet::Dialog;
using quillet::qtWindow;

bool save(QWidget& window, const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
    return saved;
}

// Shoots a modal window once it is up and painted, then closes it.
bool shootModal(Dialog& dialog, const QString& folder, const QString& name) {
    bool saved = false;
    QTimer shoot;
    shoot.setSingleShot(true);
    QObject::connect(&shoot, &QTimer::timeout, [&] {
        saved = dialog.hasWindow() && save(*qtWindow(dialog), folder, name);
        dialog.endDialog(quillet::kIdCancel);
    });
    shoot.start(300);
    QTimer failSafe;
    failSafe.setSingleShot(true);
    QObject::connect(&failSafe, &QTimer::timeout, [&] {
        if (QDialog* window = qtWindow(dialog)) {
            window->done(-1);
        }
    });
    failSafe.start(5000);
    dialog.runModal();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quillet::installResources(quillet::quilletResources());
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    bool ok = true;

    quillet::AboutBox about;
    ok &= shootModal(about, folder, QStringLiteral("100_about_box"));

    Dialog mainWindow(quillet::kMainWindowId);
    ok &= shootModal(mainWindow, folder, QStringLiteral("102_main_window_template"));

    quillet::PortSelectionWindow ports;
    ok &= shootModal(ports, folder, QStringLiteral("130_port_selection"));

    quillet::FailureNotice notice;
    notice.setCaption("Communication Failure");
    notice.setMessage(
        "An error occurred while communicating with the printer. Ensure that the printer is "
        "still connected to your PC and that the green LED is ON.");
    ok &= shootModal(notice, folder, QStringLiteral("131_failure_notice"));

    // Line 4 of the maker's defaults, leading spaces and all.
    quillet::HeaderEditor editor;
    editor.prepareEdit(4, "        TEL: (555) 010-2000", 1, quillet::Alignment::Left);
    ok &= shootModal(editor, folder, QStringLiteral("135_header_editor"));

    {
        quillet::WaitWindow wait;
        ok &= save(*qtWindow(wait), folder, QStringLiteral("137_wait_window"));
        wait.destroyWindow();
    }
    return ok ? 0 : 1;
}
