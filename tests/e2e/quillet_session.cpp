#include "tests/e2e/quillet_session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QTest>
#include <chrono>

#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "ui/toolkit/qt/qt_controls.h"

namespace quillet::e2e {

const QStringList kDefaultEntries = [] {
    QStringList entries;
    for (const std::string& entry : traffic::kDefaultEntries) {
        entries << QString::fromStdString(entry);
    }
    return entries;
}();

void QuilletSession::SetUp() {
    printer.setPacing(false);
    ASSERT_TRUE(printer.start());
    routePort("COM1", printer.devicePath());
    app_ = std::make_unique<Application>(argc_, argv_);
    recorder = std::make_unique<SessionRecorder>();
}

void QuilletSession::TearDown() {
    // A run cut short by its deadline may have left the port open.
    closePort();
    routePort("COM1", "");
    recorder.reset();
    app_.reset();
    printer.stop();
}

int QuilletSession::run(UserScript& script) {
    const int result = app_->run();
    EXPECT_FALSE(script.timedOut()) << "stuck at: " << script.waitingFor().toStdString();
    EXPECT_TRUE(script.finished()) << "not done: " << script.waitingFor().toStdString();
    return result;
}

void QuilletSession::chooseCom1(UserScript& script) {
    script.onModal("Select Serial Port", [](Dialog& d) { QTest::keyClick(qt(d), Qt::Key_Return); });
}

void QuilletSession::whenLoaded(UserScript& script, const QString& name,
                                std::function<void(MainWindow&)> act) {
    script.then(
        name,
        [] {
            MainWindow* w = mainWindow();
            return w != nullptr && backAtMainWindow() && entries(*w).size() == 6;
        },
        [act = std::move(act)] { act(*mainWindow()); });
}

bool QuilletSession::backAtMainWindow() {
    return modalUp("Quillet") && visibleWindow("Wait...") == nullptr;
}

MainWindow* QuilletSession::mainWindow() {
    return dynamic_cast<MainWindow*>(Dialog::mainWindow());
}

QStringList QuilletSession::entries(const MainWindow& window) {
    QStringList texts;
    const auto list = controlHandle<ListBoxControl>(window, control::kHeaderList);
    for (int i = 0; i < list.count(); ++i) {
        texts.append(QString::fromLatin1(list.itemText(i).c_str()));
    }
    return texts;
}

int QuilletSession::selectedEntry(const MainWindow& window) {
    const auto list = controlHandle<ListBoxControl>(window, control::kHeaderList);
    return list.isBound() ? list.currentSelection() : -2;
}

bool QuilletSession::modifyEnabled(const MainWindow& window) {
    return controlHandle<ButtonControl>(window, control::kModify).isEnabled();
}

void QuilletSession::clickEntry(MainWindow& window, int index) {
    auto* list = qtControlAs<ListBox>(window, control::kHeaderList);
    ASSERT_NE(list, nullptr);
    const QRect area = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, area.center());
}

void QuilletSession::click(Dialog& dialog, int controlId) {
    QWidget* button = qtControl(dialog, controlId);
    ASSERT_NE(button, nullptr) << controlId;
    QTest::mouseClick(button, Qt::LeftButton);
}

std::string QuilletSession::receivedSince(std::size_t offset, std::size_t count) {
    printer.waitForReceived(offset + count, std::chrono::seconds(5));
    const std::string all = printer.received();
    return offset < all.size() ? all.substr(offset) : std::string();
}

bool portLocked(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == EBUSY;
    }
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return locked;
}

}  // namespace quillet::e2e
