// The dialog base class: runs, results, keys, focus, owners and handler tables.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "tests/ui/modal_poller.h"
#include "ui/toolkit/dialog.h"

namespace quillet {
namespace {

using test::ModalPoller;

constexpr ControlTemplate kProbeControls[] = {
    {.id = 1,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {10, 40, 50, 14},
     .flags = TabStop | DefaultButton},
    {.id = 2,
     .kind = ControlKind::PushButton,
     .text = "Cancel",
     .rect = {70, 40, 50, 14},
     .flags = TabStop},
    {.id = 10,
     .kind = ControlKind::PushButton,
     .text = "Other",
     .rect = {130, 40, 50, 14},
     .flags = TabStop | Disabled},
    {.id = 11, .kind = ControlKind::StaticText, .text = "A&&B &C", .rect = {10, 10, 80, 8}},
    {.id = 12,
     .kind = ControlKind::StaticText,
     .text = "A&&B &C",
     .rect = {100, 10, 80, 8},
     .flags = NoPrefix | Hidden},
};

constexpr DialogTemplate kProbeTemplate{.id = 9001,
                                        .caption = "Probe",
                                        .width = 190,
                                        .height = 60,
                                        .style = Caption | SysMenu | ModalFrame,
                                        .controls = kProbeControls};

// Records what the toolkit calls.
class Probe : public Dialog {
  public:
    Probe() : Dialog(kProbeTemplate) {}

    int initResult = -1;  // >= 0: end the dialog during initialisation
    bool cancelEnds = true;
    bool okBoundToHandler = false;
    std::vector<std::string> calls;
    std::vector<bool> shownDuringInit;

  protected:
    bool onInitDialog() override {
        calls.push_back("init");
        shownDuringInit.push_back(isVisible());
        Dialog::onInitDialog();
        if (initResult >= 0) {
            endDialog(initResult);
        }
        return true;
    }
    void onOK() override {
        calls.push_back("ok");
        Dialog::onOK();
    }
    void onCancel() override {
        calls.push_back("cancel");
        if (cancelEnds) {
            Dialog::onCancel();
        }
    }
    MessageMap messageMap() const override {
        static const MessageEntry kMap[] = {
            {1, Notification::Clicked, handler(&Probe::onOkClicked)},
        };
        return okBoundToHandler ? MessageMap(kMap) : MessageMap();
    }

  private:
    void onOkClicked() {
        calls.push_back("ok-handler");
        endDialog(42);
    }
};

TEST(Dialog, KeysAndButtonsEndTheRunThroughTheHooks) {
    struct Case {
        const char* what;
        ModalPoller::Action action;
        int result;
        const char* hook;
    };
    const std::vector<Case> cases = {
        {"Enter", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, kIdOk, "ok"},
        {"Esc", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, kIdCancel, "cancel"},
        {"close box", [](QDialog& d) { d.close(); }, kIdCancel, "cancel"},
        {"Cancel button",
         [](QDialog& d) { QTest::mouseClick(static_cast<Dialog&>(d).control(2), Qt::LeftButton); },
         kIdCancel, "cancel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Probe probe;
        ModalPoller poller(c.action);
        EXPECT_EQ(probe.runModal(), c.result);
        EXPECT_FALSE(poller.timedOut());
        ASSERT_EQ(probe.calls.size(), 2u);
        EXPECT_EQ(probe.calls[1], c.hook);
    }
}

TEST(Dialog, CancelThatDoesNotEndKeepsTheWindowOpen) {
    Probe probe;
    probe.cancelEnds = false;
    bool stillOpen = false;
    ModalPoller poller([&](QDialog& d) {
        d.close();
        QTest::keyClick(&d, Qt::Key_Escape);
        stillOpen = d.isVisible();
        static_cast<Dialog&>(d).endDialog(5);
    });
    EXPECT_EQ(probe.runModal(), 5);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(probe.calls, (std::vector<std::string>{"init", "cancel", "cancel"}));
}

TEST(Dialog, HandlerTableTakesPrecedenceOverTheDefaultOk) {
    Probe probe;
    probe.okBoundToHandler = true;
    ModalPoller poller([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
    EXPECT_EQ(probe.runModal(), 42);
    EXPECT_EQ(probe.calls, (std::vector<std::string>{"init", "ok-handler"}));
}

TEST(Dialog, InitialisationThatEndsTheDialogNeverShowsIt) {
    Probe probe;
    probe.initResult = 7;
    int shows = 0;
    struct ShowCounter : QObject {
        int* count;
        explicit ShowCounter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            *count += e->type() == QEvent::Show;
            return false;
        }
    } counter(&shows);
    probe.installEventFilter(&counter);
    ModalPoller poller([](QDialog& d) { d.done(-1); }, 500);
    EXPECT_EQ(probe.runModal(), 7);
    EXPECT_EQ(shows, 0);
    EXPECT_EQ(poller.actionsRun(), 0);
}

TEST(Dialog, EveryRunBuildsTheWindowAfreshBeforeInitialisation) {
    Probe probe;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ModalPoller poller([](QDialog& d) {
            auto& dialog = static_cast<Dialog&>(d);
            EXPECT_FALSE(dialog.control(12)->isVisible());
            dialog.control(12)->show();  // must not survive into the next run
            EXPECT_FALSE(dialog.control(10)->isEnabled());
            dialog.endDialog(kIdOk);
        });
        EXPECT_EQ(probe.runModal(), kIdOk);
        EXPECT_FALSE(poller.timedOut());
    }
    EXPECT_EQ(probe.shownDuringInit, (std::vector<bool>{false, false}));
}

TEST(Dialog, FocusStartsOnTheFirstTabStopAndTabSkipsDisabledOnes) {
    Probe probe;
    std::vector<QWidget*> focus;
    ModalPoller poller([&](QDialog& d) {
        focus.push_back(d.focusWidget());
        QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        focus.push_back(d.focusWidget());
        QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        focus.push_back(d.focusWidget());
        static_cast<Dialog&>(d).endDialog(kIdOk);
    });
    probe.runModal();
    ASSERT_EQ(focus.size(), 3u);
    EXPECT_EQ(focus[0], probe.control(1));
    EXPECT_EQ(focus[1], probe.control(2));
    EXPECT_EQ(focus[2], probe.control(1));
}

TEST(Dialog, TabFollowsTheTemplateOrderOfTheTabStops) {
    Dialog editor(135);
    std::vector<QWidget*> visited;
    ModalPoller poller([&](QDialog& d) {
        for (int i = 0; i < 7; ++i) {
            visited.push_back(d.focusWidget());
            QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        }
        editor.endDialog(kIdOk);
    });
    editor.runModal();
    std::vector<QWidget*> expected;
    for (int id : {1, 2, 1000, 1013, 1028, 1029, 1}) {
        expected.push_back(editor.control(id));
    }
    EXPECT_EQ(visited, expected);
}

TEST(Dialog, StaticTextsProcessPrefixesUnlessToldNot) {
    Probe probe;
    ModalPoller poller([](QDialog& d) { static_cast<Dialog&>(d).endDialog(kIdOk); });
    probe.runModal();
    EXPECT_EQ(probe.controlAs<QLabel>(11)->text(), QStringLiteral("A&B C"));
    EXPECT_EQ(probe.controlAs<QLabel>(12)->text(), QStringLiteral("A&&B &C"));
}

TEST(Dialog, WindowIsFixedSizeWithoutMinimiseOrMaximise) {
    Probe probe;
    Qt::WindowFlags flags;
    QSize minimum, maximum;
    ModalPoller poller([&](QDialog& d) {
        flags = d.windowFlags();
        minimum = d.minimumSize();
        maximum = d.maximumSize();
        static_cast<Dialog&>(d).endDialog(kIdOk);
    });
    probe.runModal();
    EXPECT_EQ(minimum, maximum);
    EXPECT_EQ(minimum, probe.clientArea().size());
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);  // the template has a system menu
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
}

TEST(Dialog, OwnerIsTheMainWindowAtTheTimeOfTheRun) {
    Probe probe;  // constructed before there is a main window
    QWidget mainWindow;
    Dialog::setMainWindow(&mainWindow);
    QWidget* owner = nullptr;
    ModalPoller poller([&](QDialog& d) {
        owner = d.parentWidget();
        static_cast<Dialog&>(d).endDialog(kIdOk);
    });
    probe.runModal();
    Dialog::setMainWindow(nullptr);
    EXPECT_EQ(owner, &mainWindow);
}

}  // namespace
}  // namespace quillet
