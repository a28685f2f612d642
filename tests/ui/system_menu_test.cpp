// The window menu where the window manager owns the system menu: Alt+Space and a right-click
// on the background open it, and a choice reaches the system command hook.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <vector>

#include "tests/ui/modal_poller.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/dialog.h"
#include "ui/toolkit/qt/qt_testing.h"

namespace quillet {
namespace {

using test::ModalPoller;

constexpr int kAboutCommand = 16;

// The about box's template has a system menu; this one records the commands it gets.
class CommandRecorder : public Dialog {
  public:
    CommandRecorder() : Dialog(kAboutBoxId) {}
    std::vector<int> commands;
    bool handleClose = false;

  protected:
    bool onInitDialog() override {
        Dialog::onInitDialog();
        appendSystemMenuSeparator();
        appendSystemMenuEntry(kAboutCommand + 3, loadStringResource(kAboutMenuStringId));
        return true;
    }
    void onSysCommand(int id) override {
        commands.push_back(id);
        if ((id & 0xFFF0) == kSysCommandClose && handleClose) {
            Dialog::onSysCommand(id);
        }
    }
};

QMenu* openWindowMenu(QDialog& d) {
    for (QMenu* menu : d.findChildren<QMenu*>()) {
        if (menu->isVisible()) {
            return menu;
        }
    }
    return nullptr;
}

QAction* entryTitled(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// Opens the menu one way, then clicks the entry with that text.
void chooseFromMenu(QDialog& d, const std::function<void(QDialog&)>& open, const QString& text) {
    open(d);
    QMenu* menu = openWindowMenu(d);
    ASSERT_NE(menu, nullptr);
    QAction* entry = entryTitled(*menu, text);
    ASSERT_NE(entry, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    EXPECT_FALSE(menu->isVisible());
}

void altSpace(QDialog& d) {
    QTest::keyClick(d.focusWidget(), Qt::Key_Space, Qt::AltModifier);
}

void rightClickBackground(QDialog& d) {
    const QPoint background(2, d.height() - 2);
    ASSERT_EQ(d.childAt(background), nullptr);
    QContextMenuEvent event(QContextMenuEvent::Mouse, background, d.mapToGlobal(background));
    QApplication::sendEvent(&d, &event);
}

TEST(WindowMenu, AltSpaceAndRightClickReachTheHookWithTheEntrysIdentifier) {
    for (const auto& open : {altSpace, rightClickBackground}) {
        CommandRecorder dialog;
        ModalPoller poller([&](QDialog& d) {
            chooseFromMenu(d, open, QStringLiteral("&About Quillet..."));
            EXPECT_TRUE(d.isVisible());
            dialog.endDialog(kIdOk);
        });
        dialog.runModal();
        EXPECT_FALSE(poller.timedOut());
        EXPECT_EQ(dialog.commands, (std::vector<int>{kAboutCommand + 3}));
    }
}

TEST(WindowMenu, AltSpaceDoesNotPressTheFocusedButton) {
    CommandRecorder dialog;
    bool menuOpened = false;
    ModalPoller poller([&](QDialog& d) {
        ASSERT_EQ(focusedControlId(dialog), kIdOk);
        altSpace(d);
        QMenu* menu = openWindowMenu(d);
        menuOpened = menu != nullptr;
        if (menu) {
            menu->close();
        }
        EXPECT_TRUE(d.isVisible());
        dialog.endDialog(77);
    });
    EXPECT_EQ(dialog.runModal(), 77);
    EXPECT_TRUE(menuOpened);
}

TEST(WindowMenu, RightClickOnAButtonOpensNothing) {
    CommandRecorder dialog;
    bool menuOpened = true;
    ModalPoller poller([&](QDialog& d) {
        QWidget* ok = qtControl(dialog, kIdOk);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3),
                                ok->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(ok, &event);
        menuOpened = openWindowMenu(d) != nullptr;
        dialog.endDialog(kIdOk);
    });
    dialog.runModal();
    EXPECT_FALSE(menuOpened);
}

TEST(WindowMenu, CloseLeftToTheDefaultHandlingClosesTheWindow) {
    for (bool handleClose : {false, true}) {
        SCOPED_TRACE(handleClose);
        CommandRecorder dialog;
        dialog.handleClose = handleClose;
        bool stillOpen = false;
        ModalPoller poller([&](QDialog& d) {
            chooseFromMenu(d, altSpace, QStringLiteral("&Close"));
            stillOpen = d.isVisible();
            if (stillOpen) {
                dialog.endDialog(55);
            }
        });
        const int result = dialog.runModal();
        EXPECT_EQ(dialog.commands, (std::vector<int>{kSysCommandClose}));
        EXPECT_EQ(stillOpen, !handleClose);
        EXPECT_EQ(result, handleClose ? kIdCancel : 55);
    }
}

TEST(WindowMenu, EntriesAppendedInOneRunAreGoneInTheNext) {
    CommandRecorder dialog;
    std::vector<int> entryCounts;
    for (int run = 0; run < 2; ++run) {
        ModalPoller poller([&](QDialog& d) {
            altSpace(d);
            QMenu* menu = openWindowMenu(d);
            entryCounts.push_back(menu ? static_cast<int>(menu->actions().size()) : -1);
            if (menu) {
                menu->close();
            }
            dialog.endDialog(kIdOk);
        });
        dialog.runModal();
    }
    ASSERT_EQ(entryCounts.size(), 2u);
    EXPECT_EQ(entryCounts[0], entryCounts[1]);
    EXPECT_EQ(entryCounts[0], 3);  // Close, the separator, the appended entry
}

}  // namespace
}  // namespace quillet
