// Modify... with the header editor: what the editor is given, what the printer is sent, and
// what the list shows after the line is read back.
#include <QAbstractItemView>
#include <QTest>

#include "tests/e2e/quillet_session.h"
#include "ui/header_editor.h"
#include "ui/toolkit/qt/qt_controls.h"

namespace quillet::e2e {
namespace {

using Editing = QuilletSession;
using control::kAlignmentList;
using control::kApply;
using control::kFontList;
using control::kModify;
using control::kTextBox;

constexpr int kArialNarrow14 = 0;
constexpr int kCourier20 = 4;
constexpr int kRight = 2;

// Replaces the whole text as a user does: select all, then type.
void retype(Dialog& editor, const QString& text) {
    QWidget* box = qtControl(editor, kTextBox);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Opens the list and picks the entry with the arrow keys and Enter.
void choose(Dialog& editor, int listId, int row) {
    auto* list = qtControlAs<DropDownList>(editor, listId);
    ASSERT_NE(list, nullptr);
    list->showPopup();
    QAbstractItemView* view = list->view();
    for (int at = view->currentIndex().row(); at < row; ++at) {
        QTest::keyClick(view, Qt::Key_Down);
    }
    for (int at = view->currentIndex().row(); at > row; --at) {
        QTest::keyClick(view, Qt::Key_Up);
    }
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(list->currentIndex(), row);
}

TEST_F(Editing, EditorStartsFromTheRecordAtLeft) {
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [](MainWindow& w) {
        clickEntry(w, 3);
        click(w, kModify);
    });
    script.onModal("Header Message #4", [](Dialog& e) {
        EXPECT_EQ(controlHandle<EditControl>(e, kTextBox).text(), "        TEL: (555) 010-2000");
        EXPECT_EQ(controlHandle<DropDownControl>(e, kFontList).text(), "Arial 14");
        EXPECT_EQ(controlHandle<DropDownControl>(e, kAlignmentList).text(), "Left");
        EXPECT_EQ(focusedControlId(e), kIdOk);
        QTest::keyClick(qt(e), Qt::Key_Escape);
    });
    script.then("read back", backAtMainWindow, [] {
        EXPECT_EQ(entries(*mainWindow()), kDefaultEntries);
        EXPECT_EQ(selectedEntry(*mainWindow()), 3);
        click(*mainWindow(), kIdOk);
    });
    run(script);
}

TEST_F(Editing, OkWritesTheLineAndTheListShowsWhatThePrinterHolds) {
    std::size_t before = 0;
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [&](MainWindow& w) {
        clickEntry(w, 1);
        before = printer.received().size();
        click(w, kModify);
    });
    script.onModal("Header Message #2", [](Dialog& e) {
        retype(e, "Quillet test");
        choose(e, kFontList, kCourier20);
        QTest::keyClick(qtControl(e, kTextBox), Qt::Key_Return);
    });
    script.then("read back", backAtMainWindow, [&] {
        MainWindow& w = *mainWindow();
        const std::string write = "H2,5,\"Quillet test\"\n";
        EXPECT_EQ(receivedSince(before, write.size() + 9), write + kMode5 + "RH2\n");
        QStringList expected = kDefaultEntries;
        expected[1] = "Header Message #2          Quillet test";
        EXPECT_EQ(entries(w), expected);
        EXPECT_EQ(selectedEntry(w), 1);
        EXPECT_EQ(w.headerTable()[1].font, kCourier20);
        click(w, kIdOk);
    });
    run(script);
    EXPECT_EQ(printer.lines()[1].text, "Quillet test");
    EXPECT_FALSE(recorder->shownTitles().contains("Communication Failure"));
}

// Right-aligned in the narrowest font, the stored line is far longer than a 50-byte reply
// line: it must still read back, and the list shows it without its alignment spaces.
TEST_F(Editing, RightAlignedNarrowLineAppliedThenCancelledReadsBack) {
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [](MainWindow& w) {
        clickEntry(w, 2);
        click(w, kModify);
    });
    script.onModal("Header Message #3", [](Dialog& e) {
        retype(e, "AB");
        choose(e, kFontList, kArialNarrow14);
        choose(e, kAlignmentList, kRight);
        click(e, kApply);
        QTest::keyClick(qt(e), Qt::Key_Escape);
    });
    script.then("read back", backAtMainWindow, [&] {
        MainWindow& w = *mainWindow();
        const std::string stored = printer.lines()[2].text;
        EXPECT_GT(stored.size(), 47u);
        EXPECT_EQ(stored.find_first_not_of(' '), stored.size() - 2);
        EXPECT_EQ(std::string(w.headerTable()[2].text), stored);
        EXPECT_EQ(entries(w)[2], "Header Message #3          AB");
        click(w, kIdOk);
    });
    run(script);
    EXPECT_FALSE(recorder->shownTitles().contains("Communication Failure"));
}

}  // namespace
}  // namespace quillet::e2e
