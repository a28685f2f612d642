#include <gtest/gtest.h>

#include <QRadioButton>
#include <QTest>

#include "tests/ui/modal_poller.h"
#include "ui/port_selection_window.h"

namespace quillet {
namespace {

using test::ModalPoller;

TEST(PortSelectionWindow, OkAtOnceChoosesCom1) {
    ModalPoller poller([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
    PortSelectionWindow window;
    EXPECT_EQ(window.runModal(), 0);
    EXPECT_FALSE(poller.timedOut());
}

TEST(PortSelectionWindow, Com2ThenOkChoosesCom2) {
    ModalPoller poller([](QDialog& d) {
        auto& w = static_cast<PortSelectionWindow&>(d);
        QTest::mouseClick(w.controlAs<QRadioButton>(1022), Qt::LeftButton);
        QTest::mouseClick(w.control(1), Qt::LeftButton);
    });
    PortSelectionWindow window;
    EXPECT_EQ(window.runModal(), 1);
    EXPECT_FALSE(poller.timedOut());
}

TEST(PortSelectionWindow, EscapeGivesUp) {
    ModalPoller poller([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    PortSelectionWindow window;
    EXPECT_EQ(window.runModal(), kIdCancel);
    EXPECT_FALSE(poller.timedOut());
}

}  // namespace
}  // namespace quillet
