// The controls' notifications, the no-scroll edit box and the mouse wheel, in the header
// editor's and the main window's templates.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <vector>

#include "tests/ui/modal_poller.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/dialog.h"
#include "ui/toolkit/qt/qt_controls.h"
#include "ui/toolkit/qt/qt_testing.h"

namespace quillet {
namespace {

using test::ModalPoller;

constexpr int kEditBox = control::kTextBox;
constexpr int kFontList = control::kFontList;
constexpr int kAlignmentList = control::kAlignmentList;
constexpr int kListBox = control::kHeaderList;

// Counts the notifications of one template's controls, with a hook run on text updates.
class Listener : public Dialog {
  public:
    explicit Listener(int templateId) : Dialog(templateId) {}

    std::function<void(Listener&)> onText;
    std::vector<std::string> texts;
    std::vector<int> depths;
    int selections = 0;
    int depth = 0;

    EditBox* edit() const { return qtControlAs<EditBox>(*this, kEditBox); }
    EditControl editHandle() const { return controlHandle<EditControl>(*this, kEditBox); }

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
        texts.push_back(editHandle().text());
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

// Each change by the handle's operations raises one update inside the call, as the dialog
// manager's EN_UPDATE does, even one that leaves the text as it was.
TEST(EditBox, TextUpdatedArrivesInsideTheCallThatChangedTheText) {
    Listener dialog(kHeaderEditorId);
    runWith(dialog, [](Listener& d) {
        EditControl box = d.editHandle();
        d.texts.clear();
        box.setText("abc");
        EXPECT_EQ(d.texts, (std::vector<std::string>{"abc"}));
        box.setText("abc");
        EXPECT_EQ(d.texts, (std::vector<std::string>{"abc", "abc"}));
        d.edit()->setFocus();
        QTest::keyClicks(d.edit(), QStringLiteral("de"));
        EXPECT_EQ(d.texts.back(), "abcde");
        EXPECT_EQ(d.texts.size(), 4u);
        box.setSelection(1, 3);
        box.replaceSelection("XYZ");
        EXPECT_EQ(d.texts.back(), "aXYZde");
        EXPECT_EQ(d.edit()->cursorPosition(), 4);
        box.setSelection(4, -1);
        box.clearSelection();
        EXPECT_EQ(d.texts.back(), "aXYZ");
        char line[3];
        EXPECT_EQ(box.getLine(line, 3), 3);
        EXPECT_EQ(std::string(line, 3), "aXY");
        EXPECT_EQ(d.texts.size(), 6u);
    });
}

TEST(EditBox, AHandlerThatRevertsTheTextIsNotifiedAgainBeforeItGoesOn) {
    Listener dialog(kHeaderEditorId);
    std::vector<std::string> order;
    dialog.onText = [&](Listener& d) {
        EditControl box = d.editHandle();
        if (box.text().find('!') != std::string::npos) {
            order.push_back("reject");
            box.setSelection(0, -1);
            box.replaceSelection("ok");  // raises the nested update
            order.push_back("after revert");
        } else {
            order.push_back("accept " + box.text());
        }
    };
    runWith(dialog, [&](Listener& d) {
        d.editHandle().setText("ok");
        d.texts.clear();
        d.depths.clear();
        order.clear();
        d.edit()->setFocus();
        d.edit()->end(false);
        QTest::keyClick(d.edit(), Qt::Key_Exclam);
        EXPECT_EQ(d.edit()->text(), QStringLiteral("ok"));
        EXPECT_EQ(d.edit()->cursorPosition(), 2);
        // A revert keeps no undo step: undo does not bring the rejected text back.
        QTest::keyClick(d.edit(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(d.edit()->text(), QStringLiteral("ok"));
    });
    EXPECT_EQ(order, (std::vector<std::string>{"reject", "accept ok", "after revert"}));
    EXPECT_EQ(dialog.texts, (std::vector<std::string>{"ok!", "ok"}));
    EXPECT_EQ(dialog.depths, (std::vector<int>{1, 2}));
}

// Characters beyond Latin-1 read back as DEL, which no rule admits.
TEST(EditBox, TextIsBytesShownAsLatin1) {
    Listener dialog(kHeaderEditorId);
    runWith(dialog, [](Listener& d) {
        EditControl box = d.editHandle();
        box.setText("caf\xe9 \x01");
        EXPECT_EQ(d.edit()->text(), QStringLiteral("caf\u00e9 \u0001"));
        d.edit()->setText(QStringLiteral("\u20ac\u00ff"));
        EXPECT_EQ(box.text(), "\x7f\xff");
    });
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
    Listener dialog(kHeaderEditorId);
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

bool showsWhole(const EditBox& box, const QString& text) {
    return box.fontMetrics().horizontalAdvance(text) <= box.visibleTextWidth();
}

// Of a paste or a composition wider than the box, the box takes what fits from its start,
// in one change; the handler then sees the text as it stands.
TEST(EditBox, NoScrollBoxTakesWhatFitsOfAPasteOrAComposition) {
    Listener dialog(kHeaderEditorId);
    runWith(dialog, [](Listener& d) {
        EditBox& box = *d.edit();
        box.setFocus();
        QApplication::clipboard()->setText(QStringLiteral("ab") + QString(200, u'M'));
        QTest::keySequence(&box, QKeySequence::Paste);
        const QString pasted = box.text();
        EXPECT_TRUE(pasted.startsWith(QStringLiteral("abMMM")));
        EXPECT_TRUE(showsWhole(box, pasted));
        EXPECT_FALSE(showsWhole(box, pasted + u'M'));
        EXPECT_EQ(box.cursorPosition(), pasted.size());
        EXPECT_EQ(d.texts, (std::vector<std::string>{pasted.toStdString()}));

        // Into the middle: what follows the caret stays, the paste gives way.
        box.setText(QStringLiteral("[]"));
        box.setCursorPosition(1);
        QTest::keySequence(&box, QKeySequence::Paste);
        EXPECT_TRUE(box.text().startsWith(QStringLiteral("[abM")));
        EXPECT_TRUE(box.text().endsWith(QStringLiteral("M]")));
        EXPECT_TRUE(showsWhole(box, box.text()));

        box.setText(QStringLiteral("short"));
        QInputMethodEvent tooLong;
        tooLong.setCommitString(QString(200, u'M'));
        QApplication::sendEvent(&box, &tooLong);
        EXPECT_TRUE(box.text().startsWith(QStringLiteral("shortMM")));
        EXPECT_TRUE(showsWhole(box, box.text()));
        EXPECT_FALSE(showsWhole(box, box.text() + u'M'));

        // A box that is full takes nothing, and no update comes.
        const std::size_t updates = d.texts.size();
        QTest::keySequence(&box, QKeySequence::Paste);
        EXPECT_EQ(d.texts.size(), updates);
    });
}

// As the dialog manager's one-line box: a paste ends at its first line end, a lone CR
// too; one that starts with a line end brings nothing, and no update comes.
TEST(EditBox, APasteEndsAtItsFirstLineEnd) {
    Listener dialog(kHeaderEditorId);
    runWith(dialog, [](Listener& d) {
        EditBox& box = *d.edit();
        box.setFocus();
        QApplication::clipboard()->setText(QStringLiteral("AB\rCD\nEF"));
        QTest::keySequence(&box, QKeySequence::Paste);
        EXPECT_EQ(box.text(), QStringLiteral("AB"));
        EXPECT_EQ(box.cursorPosition(), 2);
        EXPECT_EQ(d.texts, (std::vector<std::string>{"AB"}));
        QApplication::clipboard()->setText(QStringLiteral("\nCD"));
        QTest::keySequence(&box, QKeySequence::Paste);
        EXPECT_EQ(box.text(), QStringLiteral("AB"));
        EXPECT_EQ(d.texts.size(), 1u);
    });
}

TEST(EditBox, CodeMaySetAWiderTextWhichTheUserMayShortenButNotWiden) {
    Listener dialog(kHeaderEditorId);
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
                l.editHandle().setText(std::string(150, 'W'));
            }
        };
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Delete);
        EXPECT_EQ(box.text(), QString(150, u'W'));
    });
}

TEST(ListBox, OnlyTheUsersSelectionNotifies) {
    Listener dialog(kMainWindowId);
    runWith(dialog, [](Listener& d) {
        auto* list = qtControlAs<ListBox>(d, kListBox);
        ListBoxControl handle = controlHandle<ListBoxControl>(d, kListBox);
        for (int i = 1; i <= 6; ++i) {
            handle.addString("Header Message #" + std::to_string(i));
        }
        handle.setCurrentSelection(0);
        handle.setCurrentSelection(3);
        EXPECT_EQ(handle.currentSelection(), 3);
        EXPECT_EQ(d.selections, 0);
        // Replacing an entry as the main window does keeps the others in place.
        handle.deleteString(3);
        handle.insertString(3, "Header Message #4 again");
        EXPECT_EQ(handle.count(), 6);
        EXPECT_EQ(handle.itemText(3), "Header Message #4 again");
        EXPECT_EQ(handle.itemText(4), "Header Message #5");
        handle.setCurrentSelection(3);

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
    Listener dialog(kHeaderEditorId);
    runWith(dialog, [](Listener& d) {
        auto* alignment = qtControlAs<DropDownList>(d, kAlignmentList);
        DropDownControl handle = controlHandle<DropDownControl>(d, kAlignmentList);
        ASSERT_EQ(handle.count(), 3);
        EXPECT_EQ(handle.itemText(2), "Right");
        handle.setCurrentSelection(1);
        handle.setCurrentSelection(0);
        handle.setCurrentSelection(7);
        EXPECT_EQ(handle.currentSelection(), -1);
        handle.setCurrentSelection(0);
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

// The wheel goes to the control with the focus, wherever the pointer is, as on Windows: over
// the Font list it changes the font only while that list has the focus.
void turnWheelOver(QWidget& widget) {
    const QPointF at = QRectF(widget.rect()).center();
    QWheelEvent wheel(at, widget.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &wheel);
}

TEST(DropDownList, TheWheelGoesToTheFocusedControl) {
    Listener dialog(kHeaderEditorId);
    runWith(dialog, [](Listener& d) {
        auto* fonts = qtControlAs<DropDownList>(d, kFontList);
        DropDownControl handle = controlHandle<DropDownControl>(d, kFontList);
        handle.addString("Arial Narrow 14");
        handle.addString("Arial 14");
        handle.addString("Arial Narrow 20");
        handle.setCurrentSelection(0);
        ASSERT_EQ(focusedControlId(d), kIdOk);

        turnWheelOver(*fonts);
        EXPECT_EQ(handle.currentSelection(), 0);
        EXPECT_EQ(d.selections, 0);

        fonts->setFocus();
        turnWheelOver(*fonts);
        EXPECT_EQ(handle.currentSelection(), 1);
        EXPECT_EQ(d.selections, 1);
        // From anywhere over the window.
        turnWheelOver(*qtControl(d, kIdCancel));
        EXPECT_EQ(handle.currentSelection(), 2);
        EXPECT_EQ(d.selections, 2);
    });
}

}  // namespace
}  // namespace quillet
