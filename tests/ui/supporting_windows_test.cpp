// The failure notice, the port selection window, the wait window and the about box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <set>
#include <string>

#include "tests/ui/modal_poller.h"
#include "ui/about_box.h"
#include "ui/failure_notice.h"
#include "ui/port_selection_window.h"
#include "ui/resources/icon_drawings.h"
#include "ui/resources/resource_catalog.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/qt/qt_icons.h"
#include "ui/toolkit/qt/qt_testing.h"
#include "ui/wait_window.h"

namespace quillet {
namespace {

using control::kCom1;
using control::kCom2;
using test::ModalPoller;

void clickControl(QDialog& d, int id) {
    QTest::mouseClick(qtControl(*dialogOf(&d), id), Qt::LeftButton);
}

// --- Port selection -------------------------------------------------------------------------

TEST(PortSelectionWindow, ResultFollowsTheCheckedPortAndCancelWins) {
    struct Case {
        const char* what;
        ModalPoller::Action action;
        int result;
    };
    const std::vector<Case> cases = {
        {"Enter at once", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, 0},
        {"OK at once", [](QDialog& d) { clickControl(d, kIdOk); }, 0},
        {"COM2 then OK",
         [](QDialog& d) {
             clickControl(d, kCom2);
             clickControl(d, kIdOk);
         },
         1},
        {"COM2, COM1 then OK",
         [](QDialog& d) {
             clickControl(d, kCom2);
             clickControl(d, kCom1);
             clickControl(d, kIdOk);
         },
         0},
        {"Cancel", [](QDialog& d) { clickControl(d, kIdCancel); }, kIdCancel},
        {"Esc", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, kIdCancel},
        {"COM2 then Cancel",
         [](QDialog& d) {
             clickControl(d, kCom2);
             clickControl(d, kIdCancel);
         },
         kIdCancel},
        {"COM2 then Esc",
         [](QDialog& d) {
             clickControl(d, kCom2);
             QTest::keyClick(d.focusWidget(), Qt::Key_Escape);
         },
         kIdCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModalPoller poller(c.action);
        PortSelectionWindow window;
        EXPECT_EQ(window.runModal(), c.result);
        EXPECT_FALSE(poller.timedOut());
    }
}

TEST(PortSelectionWindow, OpensWithCom1CheckedAndTheFocusOnOk) {
    bool com1 = false, com2 = true;
    int focus = 0;
    PortSelectionWindow window;
    ModalPoller poller([&](QDialog& d) {
        com1 = controlHandle<ButtonControl>(window, kCom1).isChecked();
        com2 = controlHandle<ButtonControl>(window, kCom2).isChecked();
        focus = focusedControlId(window);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    window.runModal();
    EXPECT_TRUE(com1);
    EXPECT_FALSE(com2);
    EXPECT_EQ(focus, kIdOk);
}

// The checked radio button is the group's tab stop and the arrows move the check, so COM2
// is chosen with the keyboard alone.
TEST(PortSelectionWindow, TabReachesTheCheckedPortAndArrowsMoveTheCheck) {
    PortSelectionWindow window;
    std::vector<int> forward, backward;
    ModalPoller poller([&](QDialog& d) {
        for (int i = 0; i < 4; ++i) {
            forward.push_back(focusedControlId(window));
            QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(d.focusWidget(), Qt::Key_Right);
        for (int i = 0; i < 3; ++i) {
            backward.push_back(focusedControlId(window));
            QTest::keyClick(d.focusWidget(), Qt::Key_Backtab);
        }
        QTest::keyClick(d.focusWidget(), Qt::Key_Down);  // wraps to the first of the group
        backward.push_back(focusedControlId(window));
        QTest::keyClick(d.focusWidget(), Qt::Key_Up);
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(window.runModal(), 1);
    EXPECT_EQ(forward, (std::vector<int>{kIdOk, control::kCom1, kIdCancel, kIdOk}));
    EXPECT_EQ(backward, (std::vector<int>{control::kCom2, kIdOk, kIdCancel, control::kCom1}));
}

TEST(PortSelectionWindow, HasNoCloseBoxAndNoWindowMenu) {
    PortSelectionWindow window;
    Qt::WindowFlags flags;
    bool menu = true;
    ModalPoller poller([&](QDialog& d) {
        flags = d.windowFlags();
        menu = window.hasSystemMenu();
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    window.runModal();
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(menu);
}

// --- Failure notice -------------------------------------------------------------------------

// Everything any window painted: its caption and the texts of its labels at paint time.
class PaintRecorder : public QObject {
  public:
    PaintRecorder() { qApp->installEventFilter(this); }
    ~PaintRecorder() override { qApp->removeEventFilter(this); }

    std::set<QString> seen;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (auto* label = qobject_cast<QLabel*>(watched)) {
                seen.insert(label->text());
                seen.insert(label->window()->windowTitle());
            }
        }
        return false;
    }
};

struct NoticeView {
    QString caption;
    QString message;
    bool messageVisible = false;
    std::set<QString> painted;  // captions and label texts at paint time
};

NoticeView showNotice(FailureNotice& notice) {
    NoticeView view;
    PaintRecorder painted;
    ModalPoller poller([&](QDialog& d) {
        // Let the window paint itself first.
        EXPECT_TRUE(QTest::qWaitFor([&] { return painted.seen.count(d.windowTitle()) > 0; }));
        view.caption = d.windowTitle();
        view.message = qtControlAs<QLabel>(notice, control::kFailureMessage)->text();
        view.messageVisible =
            controlHandle<StaticControl>(notice, control::kFailureMessage).isVisible();
        view.painted = painted.seen;
        QTest::keyClick(&d, Qt::Key_Return);
    });
    notice.runModal();
    EXPECT_FALSE(poller.timedOut());
    return view;
}

TEST(FailureNotice, ShowsItsCaptionAndAnEmptyMessageNeverThePlaceholders) {
    FailureNotice notice;
    notice.setCaption("System Error");
    const NoticeView view = showNotice(notice);
    EXPECT_EQ(view.caption, QStringLiteral("System Error"));
    EXPECT_EQ(view.message, QString());
    EXPECT_TRUE(view.messageVisible);
    EXPECT_EQ(view.painted.count(QStringLiteral("System Error")), 1u);
    EXPECT_EQ(view.painted.count(QStringLiteral("Operation Failure")), 0u);
    EXPECT_EQ(view.painted.count(QStringLiteral("Static")), 0u);
}

TEST(FailureNotice, RunTwiceShowsWhatWasSetLast) {
    FailureNotice notice;
    notice.setCaption("Communication Failure");
    notice.setMessage(
        "An error occurred while opening the COM port. Ensure that the port number is correct "
        "and that another application is not using this port.");
    const NoticeView first = showNotice(notice);
    notice.setCaption("System Error");
    notice.setMessage("Second message");
    const NoticeView second = showNotice(notice);
    EXPECT_EQ(first.caption, QStringLiteral("Communication Failure"));
    EXPECT_TRUE(first.message.startsWith(QStringLiteral("An error occurred while opening")));
    EXPECT_EQ(second.caption, QStringLiteral("System Error"));
    EXPECT_EQ(second.message, QStringLiteral("Second message"));
}

TEST(FailureNotice, TextsLongerThanTheBuffersAreCutToWhatFits) {
    const std::string caption(60, 'c');
    const std::string message = std::string(149, 'm') + "overflow";
    FailureNotice notice;
    notice.setCaption(caption);
    notice.setMessage(message);
    NoticeView view = showNotice(notice);
    EXPECT_EQ(view.caption, QString(49, u'c'));
    EXPECT_EQ(view.message, QString(149, u'm'));

    // Texts that just fit stay whole.
    notice.setCaption(std::string(49, 'C'));
    notice.setMessage(std::string(149, 'M'));
    view = showNotice(notice);
    EXPECT_EQ(view.caption, QString(49, u'C'));
    EXPECT_EQ(view.message, QString(149, u'M'));
}

TEST(FailureNotice, OkEnterAndEscCloseIt) {
    const std::vector<ModalPoller::Action> actions = {
        [](QDialog& d) { clickControl(d, kIdOk); },
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); },
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
    };
    for (const auto& action : actions) {
        FailureNotice notice;
        notice.setCaption("Communication Failure");
        ModalPoller poller(action);
        notice.runModal();
        EXPECT_FALSE(poller.timedOut());
        EXPECT_EQ(poller.actionsRun(), 1);
    }
}

// --- Wait window ----------------------------------------------------------------------------

TEST(WaitWindow, IsOnScreenAndPaintedWhenConstructed) {
    PaintRecorder painted;
    auto wait = std::make_unique<WaitWindow>();
    // Nothing processes events between here and the checks, as with the blocked caller.
    EXPECT_TRUE(wait->isWindowVisible());
    EXPECT_EQ(wait->caption(), "Wait...");
    const QList<QLabel*> labels = qtWindow(*wait)->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_TRUE(labels[0]->isVisible());
    EXPECT_EQ(labels[0]->text(), QStringLiteral("Communicating with Printer.  Please wait..."));
    EXPECT_EQ(painted.seen.count(labels[0]->text()), 1u);
    EXPECT_TRUE(qtWindow(*wait)->findChildren<QPushButton*>().isEmpty());
    EXPECT_EQ(openWindows(), std::vector<Dialog*>{wait.get()});
    wait->destroyWindow();
    EXPECT_FALSE(wait->isWindowVisible());
    EXPECT_TRUE(openWindows().empty());
    wait.reset();
}

// --- About box ------------------------------------------------------------------------------

// Columns that hold ink in a widget's picture, from the first to the last.
std::pair<int, int> inkColumns(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    const QRgb background = image.pixel(0, 0);
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != background) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

TEST(AboutBox, ShowsTheProductLineWithItsFiveBlanks) {
    const QString line = QStringLiteral("Quillet (for KV-31)     v1.0");
    AboutBox about;
    QString text;
    int inkWidth = 0;
    QFontMetrics metrics(QFont{});
    ModalPoller poller([&](QDialog& d) {
        for (QLabel* label : d.findChildren<QLabel*>()) {
            if (!label->text().isEmpty()) {
                text = label->text();
                metrics = label->fontMetrics();
                const auto [first, last] = inkColumns(*label);
                inkWidth = last - first + 1;
            }
        }
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    about.runModal();
    EXPECT_EQ(text, line);
    // The picture is as wide as the whole line, not as one with its blanks run together.
    const int full = metrics.boundingRect(line).width();
    const int collapsed = metrics.boundingRect(QStringLiteral("Quillet (for KV-31) v1.0")).width();
    EXPECT_NEAR(inkWidth, full, 3);
    EXPECT_GT(inkWidth, collapsed + 2 * metrics.horizontalAdvance(u' '));
}

TEST(AboutBox, OkEnterEscAndTheCloseBoxEndIt) {
    const std::vector<ModalPoller::Action> actions = {
        [](QDialog& d) { clickControl(d, kIdOk); },
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); },
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](QDialog& d) { d.close(); },
    };
    for (const auto& action : actions) {
        AboutBox about;
        ModalPoller poller(action);
        about.runModal();
        EXPECT_FALSE(poller.timedOut());
        EXPECT_EQ(poller.actionsRun(), 1);
    }
}

TEST(AboutBox, ShowsTheApplicationIcon) {
    AboutBox about;
    bool hasIcon = false;
    ModalPoller poller([&](QDialog& d) {
        for (QLabel* label : d.findChildren<QLabel*>()) {
            hasIcon |= !label->pixmap().isNull() && label->isVisible();
        }
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    about.runModal();
    EXPECT_TRUE(hasIcon);
}

// Both drawings are embedded whole and draw, the warning one too, although Qt shows the
// style's own warning icon where it has one.
TEST(Icons, TheEmbeddedDrawingsDraw) {
    const IconResource drawings[] = {
        {kAppIconId, IconSource::Drawing, appIconDrawing()},
        {kWarningIconId, IconSource::Drawing, warningIconDrawing()},
    };
    const ResourceCatalog catalog{.icons = drawings};
    installResources(catalog);
    for (int id : {kAppIconId, kWarningIconId}) {
        SCOPED_TRACE(id);
        const QImage image = qtIcon(Icon::load(id)).pixmap(32, 32).toImage();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                inked += qAlpha(image.pixel(x, y)) > 0;
            }
        }
        EXPECT_GT(inked, 32 * 32 / 4);
    }
    EXPECT_TRUE(Icon::load(kWarningIconId + 1).isNull());
    installResources(quilletResources());
}

}  // namespace
}  // namespace quillet
