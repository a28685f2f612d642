// The dialog base class: runs, results, keys, focus, owners and handler tables.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "tests/ui/modal_poller.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/dialog.h"
#include "ui/toolkit/qt/qt_testing.h"

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
class Probe : public TemplateDialog {
  public:
    Probe() : TemplateDialog(kProbeTemplate) {}

    int initResult = -1;  // >= 0: end the dialog during initialisation
    bool cancelEnds = true;
    bool okBoundToHandler = false;
    std::vector<std::string> calls;
    std::vector<bool> shownDuringInit;

  protected:
    bool onInitDialog() override {
        calls.push_back("init");
        shownDuringInit.push_back(isWindowVisible());
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
         [](QDialog& d) { QTest::mouseClick(qtControl(*dialogOf(&d), kIdCancel), Qt::LeftButton); },
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
        dialogOf(&d)->endDialog(5);
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
        explicit ShowCounter(int* c) : count(c) { qApp->installEventFilter(this); }
        ~ShowCounter() override { qApp->removeEventFilter(this); }
        bool eventFilter(QObject* watched, QEvent* e) override {
            const auto* widget = qobject_cast<QWidget*>(watched);
            *count += e->type() == QEvent::Show && widget != nullptr && widget->isWindow();
            return false;
        }
    } counter(&shows);
    ModalPoller poller([](QDialog& d) { d.done(-1); }, 500);
    EXPECT_EQ(probe.runModal(), 7);
    EXPECT_EQ(shows, 0);
    EXPECT_EQ(poller.actionsRun(), 0);
    EXPECT_FALSE(probe.hasWindow());
}

TEST(Dialog, EveryRunBuildsTheWindowAfreshBeforeInitialisation) {
    Probe probe;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ModalPoller poller([](QDialog& d) {
            Dialog& dialog = *dialogOf(&d);
            Control hidden = controlHandle<Control>(dialog, 12);
            EXPECT_FALSE(hidden.isVisible());
            hidden.show(true);  // must not survive into the next run
            EXPECT_TRUE(hidden.isVisible());
            EXPECT_FALSE(controlHandle<ButtonControl>(dialog, 10).isEnabled());
            dialog.endDialog(kIdOk);
        });
        EXPECT_EQ(probe.runModal(), kIdOk);
        EXPECT_FALSE(poller.timedOut());
    }
    EXPECT_EQ(probe.shownDuringInit, (std::vector<bool>{false, false}));
    EXPECT_FALSE(probe.hasWindow());
}

TEST(Dialog, FocusStartsOnTheFirstTabStopAndTabSkipsDisabledOnes) {
    Probe probe;
    std::vector<int> focus;
    ModalPoller poller([&](QDialog& d) {
        focus.push_back(focusedControlId(probe));
        QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        focus.push_back(focusedControlId(probe));
        QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        focus.push_back(focusedControlId(probe));
        probe.endDialog(kIdOk);
    });
    probe.runModal();
    EXPECT_EQ(focus, (std::vector<int>{kIdOk, kIdCancel, kIdOk}));
}

TEST(Dialog, TabFollowsTheTemplateOrderOfTheTabStops) {
    Dialog editor(kHeaderEditorId);
    std::vector<int> visited;
    ModalPoller poller([&](QDialog& d) {
        for (int i = 0; i < 7; ++i) {
            visited.push_back(focusedControlId(editor));
            QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        }
        editor.endDialog(kIdOk);
    });
    editor.runModal();
    using namespace control;
    EXPECT_EQ(visited, (std::vector<int>{kIdOk, kIdCancel, kApply, kTextBox, kFontList,
                                         kAlignmentList, kIdOk}));
}

// What a static shows, and what its text reads as.
TEST(Dialog, StaticTextsProcessPrefixesUnlessToldNot) {
    Probe probe;
    QString shown11, shown12, shownAfterSet;
    std::string read11, readAfterSet;
    ModalPoller poller([&](QDialog& d) {
        shown11 = qtControlAs<QLabel>(probe, 11)->text();
        shown12 = qtControlAs<QLabel>(probe, 12)->text();
        StaticControl text = controlHandle<StaticControl>(probe, 11);
        read11 = text.text();
        text.setText("Save && &Quit");
        shownAfterSet = qtControlAs<QLabel>(probe, 11)->text();
        readAfterSet = text.text();
        dialogOf(&d)->endDialog(kIdOk);
    });
    probe.runModal();
    EXPECT_EQ(shown11, QStringLiteral("A&B C"));
    EXPECT_EQ(shown12, QStringLiteral("A&&B &C"));
    EXPECT_EQ(read11, "A&&B &C");
    EXPECT_EQ(shownAfterSet, QStringLiteral("Save & Quit"));
    EXPECT_EQ(readAfterSet, "Save && &Quit");
}

TEST(Dialog, WindowIsFixedSizeWithoutMinimiseOrMaximise) {
    Probe probe;
    Qt::WindowFlags flags;
    QSize minimum, maximum;
    QSize client;
    ModalPoller poller([&](QDialog& d) {
        flags = d.windowFlags();
        minimum = d.minimumSize();
        maximum = d.maximumSize();
        client = qtClientArea(probe).size();
        probe.endDialog(kIdOk);
    });
    probe.runModal();
    EXPECT_EQ(minimum, maximum);
    EXPECT_EQ(minimum, client);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);  // the template has a system menu
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
}

TEST(Dialog, OwnerIsTheMainWindowAtTheTimeOfTheRun) {
    Probe probe;  // constructed before there is a main window
    Dialog mainWindow(kMainWindowId);
    ASSERT_TRUE(mainWindow.createModeless());
    Dialog::setMainWindow(&mainWindow);
    QWidget* owner = nullptr;
    std::vector<Dialog*> open;
    ModalPoller poller([&](QDialog& d) {
        owner = d.parentWidget();
        open = openWindows();
        probe.endDialog(kIdOk);
    });
    probe.runModal();
    EXPECT_EQ(owner, qtWindow(mainWindow));
    EXPECT_EQ(open, (std::vector<Dialog*>{&mainWindow, &probe}));
    EXPECT_EQ(openWindows(), (std::vector<Dialog*>{&mainWindow}));
    mainWindow.destroyWindow();
    EXPECT_TRUE(openWindows().empty());
    Dialog::setMainWindow(nullptr);
}

// Qt deletes a window with its owner; the dialog whose window it was must notice.
TEST(Dialog, AWindowRemovedWithItsOwnerIsForgotten) {
    auto owner = std::make_unique<Dialog>(kMainWindowId);
    ASSERT_TRUE(owner->createModeless());
    Dialog wait(kWaitWindowId, owner.get());
    ASSERT_TRUE(wait.createModeless());
    EXPECT_EQ(qtWindow(wait)->parentWidget(), qtWindow(*owner));
    owner.reset();
    EXPECT_FALSE(wait.hasWindow());
    EXPECT_FALSE(wait.isWindowVisible());
    EXPECT_TRUE(openWindows().empty());
}

}  // namespace
}  // namespace quillet
