// The controls' notifications and the no-scroll edit box, in the header editor's and the
// main window's templates.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <vector>

#include "tests/ui/modal_poller.h"
#include "ui/toolkit/controls.h"
#include "ui/toolkit/dialog.h"

namespace quillet {
namespace {

using test::ModalPoller;

constexpr int kEditBox = 1013;
constexpr int kFontList = 1028;
constexpr int kAlignmentList = 1029;
constexpr int kListBox = 1031;

// Counts the notifications of one template's controls, with a hook run on text updates.
class Listener : public Dialog {
  public:
    explicit Listener(int templateId) : Dialog(templateId) {}

    std::function<void(Listener&)> onText;
    std::vector<QString> texts;
    std::vector<int> depths;
    int selections = 0;
    int depth = 0;

    EditBox* edit() const { return controlAs<EditBox>(kEditBox); }

  protected:
    MessageMap messageMap() const override {
        static const MessageEntry kMap[] = {
            {kEditBox, Notification::TextUpdated, handler(&Listener::textUpdated)},
            {kFontList, Notification::SelectionChanged, handler(&Listener::selectionChanged)},
            {kAlignmentList, Notification::SelectionChanged, handler(&Listener::selectionChanged)},
            {kListBox, Notification::SelectionChanged, handler(&Listener::selectionChanged)},
        };
        return kMap;
    }

  private:
    void textUpdated() {
        ++depth;
        texts.push_back(edit()->text());
        depths.push_back(depth);
        if (onText) {
            onText(*this);
        }
        --depth;
    }
    void selectionChanged() { ++selections; }
};

// Runs the template modally with the test body inside the run.
void runWith(Listener& dialog, const std::function<void(Listener&)>& body) {
    ModalPoller poller([&](QDialog&) {
        body(dialog);
        dialog.endDialog(kIdOk);
    });
    dialog.runModal();
    EXPECT_FALSE(poller.timedOut());
    EXPECT_EQ(poller.actionsRun(), 1);
}

TEST(EditBox, TextUpdatedArrivesInsideTheCallThatChangedTheText) {
    Listener dialog(135);
    runWith(dialog, [](Listener& d) {
        d.texts.clear();
        d.edit()->setText(QStringLiteral("abc"));
        EXPECT_EQ(d.texts, (std::vector<QString>{"abc"}));
        d.edit()->setFocus();
        QTest::keyClicks(d.edit(), QStringLiteral("de"));
        EXPECT_EQ(d.texts, (std::vector<QString>{"abc", "abcd", "abcde"}));
        d.edit()->setSelection(0, 5);
        d.edit()->del();
        EXPECT_EQ(d.texts.back(), QString());
    });
}

TEST(EditBox, AHandlerThatRevertsTheTextIsNotifiedAgainBeforeItGoesOn) {
    Listener dialog(135);
    std::vector<std::string> order;
    dialog.onText = [&](Listener& d) {
        if (d.edit()->text().contains(u'!')) {
            order.push_back("reject");
            d.edit()->selectAll();
            d.edit()->insert(QStringLiteral("ok"));  // raises the nested update
            order.push_back("after revert");
        } else {
            order.push_back("accept " + d.edit()->text().toStdString());
        }
    };
    runWith(dialog, [&](Listener& d) {
        d.edit()->setText(QStringLiteral("ok"));
        d.texts.clear();
        d.depths.clear();
        order.clear();
        d.edit()->setFocus();
        d.edit()->end(false);
        QTest::keyClick(d.edit(), Qt::Key_Exclam);
        EXPECT_EQ(d.edit()->text(), QStringLiteral("ok"));
        EXPECT_EQ(d.edit()->cursorPosition(), 2);
    });
    EXPECT_EQ(order, (std::vector<std::string>{"reject", "accept ok", "after revert"}));
    EXPECT_EQ(dialog.texts, (std::vector<QString>{"ok!", "ok"}));
    EXPECT_EQ(dialog.depths, (std::vector<int>{1, 2}));
}

// Types one character at a time until the box refuses one; returns how many it took.
int typeUntilRefused(EditBox& box, QChar c, int limit = 200) {
    for (int i = 0; i < limit; ++i) {
        const QString before = box.text();
        QTest::keyClick(&box, c.toLatin1());
        if (box.text() == before) {
            return i;
        }
    }
    return limit;
}

TEST(EditBox, NoScrollBoxRefusesTypingBeyondItsVisibleWidth) {
    Listener dialog(135);
    runWith(dialog, [](Listener& d) {
        EditBox& box = *d.edit();
        box.setFocus();
        const int typed = typeUntilRefused(box, u'W');
        ASSERT_GT(typed, 5);
        ASSERT_LT(typed, 200);
        const int updates = static_cast<int>(d.texts.size());
        EXPECT_LE(box.fontMetrics().horizontalAdvance(box.text()), box.visibleTextWidth());
        EXPECT_GT(box.fontMetrics().horizontalAdvance(box.text() + u'W'), box.visibleTextWidth());
        // The caret never leaves the box, so nothing scrolled out of sight.
        EXPECT_TRUE(box.rect().contains(box.inputMethodQuery(Qt::ImCursorRectangle).toRect()));

        // A refused key raised no update; narrower characters may still fit.
        QTest::keyClick(&box, 'W');
        EXPECT_EQ(static_cast<int>(d.texts.size()), updates);
        box.setCursorPosition(0);
        QTest::keyClick(&box, 'W');  // in the middle too
        EXPECT_EQ(box.text().size(), typed);
        // Deleting is always taken.
        QTest::keyClick(&box, Qt::Key_End);
        QTest::keyClick(&box, Qt::Key_Backspace);
        EXPECT_EQ(box.text().size(), typed - 1);
    });
}

TEST(EditBox, NoScrollBoxRefusesPastedAndComposedTextThatWouldNotFit) {
    Listener dialog(135);
    runWith(dialog, [](Listener& d) {
        EditBox& box = *d.edit();
        box.setFocus();
        QApplication::clipboard()->setText(QString(200, u'M'));
        QTest::keySequence(&box, QKeySequence::Paste);
        EXPECT_EQ(box.text(), QString());

        QApplication::clipboard()->setText(QStringLiteral("short"));
        QTest::keySequence(&box, QKeySequence::Paste);
        EXPECT_EQ(box.text(), QStringLiteral("short"));

        QInputMethodEvent tooLong;
        tooLong.setCommitString(QString(200, u'M'));
        QApplication::sendEvent(&box, &tooLong);
        EXPECT_EQ(box.text(), QStringLiteral("short"));

        QInputMethodEvent fits;
        fits.setCommitString(QStringLiteral("er"));
        QApplication::sendEvent(&box, &fits);
        EXPECT_EQ(box.text(), QStringLiteral("shorter"));
    });
}

TEST(EditBox, CodeMaySetAWiderTextWhichTheUserMayShortenButNotWiden) {
    Listener dialog(135);
    runWith(dialog, [](Listener& d) {
        EditBox& box = *d.edit();
        const QString wide(120, u'W');
        box.setText(wide);
        EXPECT_EQ(box.text(), wide);
        box.setFocus();
        box.end(false);
        QTest::keyClick(&box, 'i');
        EXPECT_EQ(box.text(), wide);
        QTest::keyClick(&box, Qt::Key_Backspace);
        EXPECT_EQ(box.text(), QString(119, u'W'));
        // Code's changes inside a handler of the user's change are code's, not refused.
        d.onText = [](Listener& l) {
            if (l.edit()->text().size() < 100) {
                l.edit()->setText(QString(150, u'W'));
            }
        };
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Delete);
        EXPECT_EQ(box.text(), QString(150, u'W'));
    });
}

TEST(ListBox, OnlyTheUsersSelectionNotifies) {
    Listener dialog(102);
    runWith(dialog, [](Listener& d) {
        auto* list = d.controlAs<ListBox>(kListBox);
        for (int i = 1; i <= 6; ++i) {
            list->addItem(QStringLiteral("Header Message #%1").arg(i));
        }
        list->setCurrentSelection(0);
        list->setCurrentSelection(3);
        EXPECT_EQ(list->currentSelection(), 3);
        EXPECT_EQ(d.selections, 0);

        const QRect row1 = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row1.center());
        EXPECT_EQ(list->currentSelection(), 1);
        EXPECT_EQ(d.selections, 1);

        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(list->currentSelection(), 2);
        EXPECT_EQ(d.selections, 2);

        list->setCurrentSelection(-1);
        EXPECT_EQ(list->currentSelection(), -1);
        EXPECT_EQ(d.selections, 2);

        // The scroll bar is always there, usable only when the entries need it.
        QScrollBar* bar = list->verticalScrollBar();
        EXPECT_TRUE(bar->isVisible());
        EXPECT_FALSE(bar->isEnabled());
        for (int i = 0; i < 30; ++i) {
            list->addItem(QStringLiteral("more"));
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return bar->isEnabled(); }, 1000));
    });
}

TEST(DropDownList, OnlyTheUsersChangeOfEntryNotifies) {
    Listener dialog(135);
    runWith(dialog, [](Listener& d) {
        auto* alignment = d.controlAs<DropDownList>(kAlignmentList);
        ASSERT_EQ(alignment->count(), 3);
        alignment->setCurrentIndex(1);
        alignment->setCurrentIndex(0);
        EXPECT_EQ(d.selections, 0);

        alignment->setFocus();
        QTest::keyClick(alignment, Qt::Key_Down);
        EXPECT_EQ(alignment->currentIndex(), 1);
        EXPECT_EQ(d.selections, 1);

        // Choosing the current entry again from the open list is no change.
        alignment->showPopup();
        QAbstractItemView* popup = alignment->view();
        QTest::keyClick(popup, Qt::Key_Return);
        EXPECT_EQ(alignment->currentIndex(), 1);
        EXPECT_EQ(d.selections, 1);

        alignment->showPopup();
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        EXPECT_EQ(alignment->currentIndex(), 2);
        EXPECT_EQ(d.selections, 2);
    });
}

}  // namespace
}  // namespace quillet
