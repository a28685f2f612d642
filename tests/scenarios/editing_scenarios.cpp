// Modify... with the header editor: what the text box takes, what the user is warned of, and
// what the printer receives.
#include "tests/scenarios/scenario.h"

namespace quillet::scenario {
namespace {

using Strings = std::vector<std::string>;
using Warnings = std::vector<int>;
using control::kAlignmentList;
using control::kFontList;
using control::kTextBox;

constexpr int kArialNarrow14 = 0;
constexpr int kArial20 = 3;
constexpr int kCourier20 = 4;
constexpr int kLucida16 = 7;  // the printer's number
constexpr int kCenter = 1;
constexpr int kRight = 2;
const Warnings kTooLong = {control::kWarningIcon, control::kTooLongMessage};
const Warnings kUnprintable = {control::kWarningIcon, control::kUnprintableMessage};

// Selects the entry for the line, then Modify....
void modifyLine(UserScript& script, int line) {
    script.onWindow("Quillet", [line](Dialog& main) {
        desk::clickEntry(main, control::kHeaderList, line - 1);
    });
    script.onWindow("Quillet", [line](Dialog& main) {
        EXPECT_EQ(selectedEntry(main, control::kHeaderList), line - 1);
        desk::click(main, control::kModify);
    });
}

// From OK, where the focus starts, Tab reaches the text box past Cancel and Apply, and
// selects its text.
void tabToTextBox(UserScript& script, const std::string& editor) {
    script.onWindow(editor, [](Dialog&) {
        for (int i = 0; i < 3; ++i) {
            desk::press(desk::Key::Tab);
        }
    });
}

std::string entryOf(int line, const std::string& text) {
    return "Header Message #" + std::to_string(line) + "          " + text;
}

class Editing : public Scenario {
  protected:
    // The main window lists the line's new text among the others; OK there ends the
    // program.
    static void expectListedThenQuit(UserScript& script, int line, const std::string& text) {
        whenListed(script, "line " + std::to_string(line) + " read back",
                   [line, text](Dialog& main) {
                       Strings expected = kDefaultEntries;
                       expected[line - 1] = entryOf(line, text);
                       EXPECT_EQ(entries(main, control::kHeaderList), expected);
                       desk::click(main, kIdOk);
                   });
    }
};

// What the printer receives for one line written: the start-up readback, the write, the
// line read back, and the end.
std::string oneLineWritten(int line, int printerFont, const std::string& text) {
    return kMode5 + queries(1, 6) + "H" + std::to_string(line) + "," + std::to_string(printerFont) +
           ",\"" + text + "\"\n" + kMode5 + queries(line, line) + kMode1;
}

TEST_F(Editing, AChangeThatBreaksTheLineIsUndoneWithItsWarning) {
    printer.setLine(4, 5, "Call us");  // Courier 20
    UserScript script;
    startWithCom1(script, [](Dialog&) {});
    modifyLine(script, 4);
    script.onWindow("Header Message #4", [](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kTextBox), "Call us");
        EXPECT_EQ(textOf(editor, kFontList), "Courier 20");
        EXPECT_EQ(textOf(editor, kAlignmentList), "Left");
        EXPECT_EQ(warningsShown(editor), Warnings{});
        EXPECT_EQ(focusedControlId(editor), kIdOk);
    });
    tabToTextBox(script, "Header Message #4");
    script.onWindow("Header Message #4", [](Dialog& editor) {
        EXPECT_EQ(focusedControlId(editor), kTextBox);
        desk::type("Quillet for the KV-31 printer");
    });
    script.onWindow("Header Message #4", [](Dialog& editor) {
        // 21 characters of Courier 20 take 376 dots; a 22nd would take 394.
        EXPECT_EQ(textOf(editor, kTextBox), "Quillet for the KV-31");
        EXPECT_EQ(warningsShown(editor), kTooLong);
        desk::press(desk::Key::Backspace);
    });
    script.onWindow("Header Message #4", [](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kTextBox), "Quillet for the KV-3");
        EXPECT_EQ(warningsShown(editor), Warnings{});
        desk::type("\xe9");
    });
    script.onWindow("Header Message #4", [](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kTextBox), "Quillet for the KV-3");
        EXPECT_EQ(warningsShown(editor), kUnprintable);
        desk::press(desk::Key::Escape);
    });
    whenListed(script, "line 4 read back", [](Dialog& main) {
        Strings expected = kDefaultEntries;
        expected[3] = entryOf(4, "Call us");
        EXPECT_EQ(entries(main, control::kHeaderList), expected);
        EXPECT_EQ(selectedEntry(main, control::kHeaderList), 3);
        desk::click(main, kIdOk);
    });
    run(script);

    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Wait...", "Quillet", "Header Message #4"}));
    // Nothing written: after the editor, the line is only read back.
    const std::string expected = kMode5 + queries(1, 6) + kMode5 + queries(4, 4) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
}

TEST_F(Editing, AFontTooWideForTheTextCutsItForGood) {
    printer.setLine(2, 7, "Lucida line");
    // Lucida 16 takes 25 of these characters in 374 dots; Courier 20, whose L is 15 dots
    // wide and every other glyph 16, takes 21 in 375.
    const std::string inLucida = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    const std::string cut = "ABCDEFGHIJKLMNOPQRSTU";
    UserScript script;
    startWithCom1(script, [](Dialog&) {});
    modifyLine(script, 2);
    tabToTextBox(script, "Header Message #2");
    script.onWindow("Header Message #2", [&](Dialog&) { desk::type(inLucida + "Z1234"); });
    script.onWindow("Header Message #2", [&](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kFontList), "Lucida 16");
        EXPECT_EQ(textOf(editor, kTextBox), inLucida);
        EXPECT_EQ(warningsShown(editor), kTooLong);
        desk::chooseEntry(editor, kFontList, kArialNarrow14);
    });
    script.onWindow("Header Message #2", [&](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kTextBox), inLucida);
        EXPECT_EQ(warningsShown(editor), Warnings{}) << "a font that holds the text";
        desk::chooseEntry(editor, kFontList, kCourier20);
    });
    script.onWindow("Header Message #2", [&](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kTextBox), cut);
        EXPECT_EQ(warningsShown(editor), kTooLong);
        desk::chooseEntry(editor, kFontList, kArialNarrow14);
    });
    script.onWindow("Header Message #2", [&](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kFontList), "Arial Narrow 14");
        EXPECT_EQ(textOf(editor, kTextBox), cut);
        EXPECT_EQ(warningsShown(editor), Warnings{});
        desk::click(editor, kIdOk);
    });
    expectListedThenQuit(script, 2, cut);
    run(script);

    const std::string expected = oneLineWritten(2, 1, cut);
    EXPECT_EQ(printer.received(expected.size()), expected);
}

// AB written Right in Arial 14 comes back behind 39 spaces, which Arial 20 cannot hold: the
// spaces give way, as few as let AB fit, so the owner's text is kept.
TEST_F(Editing, AFontTooWideForARightAlignedLineCutsItsSpacesFirst) {
    const std::string stored = std::string(39, ' ') + "AB";
    const std::string cut = std::string(24, ' ') + "AB";  // 376 dots in Arial 20
    const std::string editor = "Header Message #1";
    printer.setLine(1, 2, stored);
    UserScript script;
    startWithCom1(script, [](Dialog&) {});
    modifyLine(script, 1);
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), stored);
        EXPECT_EQ(textOf(e, kFontList), "Arial 14");
        desk::chooseEntry(e, kFontList, kArial20);
    });
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), cut);
        EXPECT_EQ(warningsShown(e), kTooLong);
        desk::click(e, kIdOk);
    });
    expectListedThenQuit(script, 1, "AB");
    run(script);

    const std::string expected = oneLineWritten(1, 4, cut);
    EXPECT_EQ(printer.received(expected.size()), expected);
}

// A line copied from a terminal or an editor comes with its line end: the box takes what
// stands before it, as a one-line edit box does, and the text check sees only that.
TEST_F(Editing, APasteTakesTheTextUpToItsFirstLineEnd) {
    const std::string editor = "Header Message #6";
    printer.setLine(6, 2, "Old");  // Arial 14
    UserScript script;
    startWithCom1(script, [](Dialog&) {});
    modifyLine(script, 6);
    tabToTextBox(script, editor);
    script.onWindow(editor, [](Dialog&) { desk::paste("HELLO\r\nsecond line\r\n"); });
    script.onWindow(editor, [](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), "HELLO");
        EXPECT_EQ(warningsShown(e), Warnings{});
        desk::paste(" THERE\n");
    });
    script.onWindow(editor, [](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), "HELLO THERE");
        EXPECT_EQ(warningsShown(e), Warnings{});
        desk::click(e, kIdOk);
    });
    expectListedThenQuit(script, 6, "HELLO THERE");
    run(script);

    const std::string expected = oneLineWritten(6, 2, "HELLO THERE");
    EXPECT_EQ(printer.received(expected.size()), expected);
}

TEST_F(Editing, ApplyWritesTheLineCentredThenRightAligned) {
    // 19 and 39 spaces put AB, 23 dots wide in Arial 14, in the middle and at the end of
    // the 380-dot line.
    const std::string centred = "H2,2,\"" + std::string(19, ' ') + "AB\"\n";
    const std::string right = "H2,2,\"" + std::string(39, ' ') + "AB\"\n";
    const std::string loaded = kMode5 + queries(1, 6);
    UserScript script;
    startWithCom1(script, [](Dialog&) {});
    modifyLine(script, 2);
    tabToTextBox(script, "Header Message #2");
    script.onWindow("Header Message #2", [](Dialog&) { desk::type("AB"); });
    script.onWindow("Header Message #2", [](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kFontList), "Arial 14");
        desk::chooseEntry(editor, kAlignmentList, kCenter);
    });
    script.onWindow("Header Message #2", [](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kAlignmentList), "Center");
        desk::click(editor, control::kApply);
    });
    script.onWindow("Header Message #2", [&](Dialog& editor) {
        EXPECT_EQ(printer.received(loaded.size() + centred.size()), loaded + centred);
        desk::chooseEntry(editor, kAlignmentList, kRight);
    });
    script.onWindow("Header Message #2",
                    [](Dialog& editor) { desk::click(editor, control::kApply); });
    script.onWindow("Header Message #2", [](Dialog& editor) {
        EXPECT_EQ(textOf(editor, kTextBox), "AB");
        EXPECT_EQ(warningsShown(editor), Warnings{});
        desk::click(editor, kIdCancel);
    });
    whenListed(script, "line 2 read back", [](Dialog& main) {
        // The list leaves out the leading spaces the printer keeps.
        EXPECT_EQ(entries(main, control::kHeaderList)[1], entryOf(2, "AB"));
        desk::click(main, kIdOk);
    });
    run(script);

    const std::string expected = loaded + centred + right + kMode5 + queries(2, 2) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Wait...", "Quillet", "Header Message #2"}));
}

// A line the printer holds may be wider than the text box: the readback takes up to 149
// characters. Every change the user makes to it is taken or refused whole.
TEST_F(Editing, AStoredLineWiderThanTheBoxLosesOnlyWhatTheUserDeletes) {
    // 61 characters, 375 dots in Arial Narrow 14; on screen the digits alone overfill the box.
    std::string stored(61, '1');  // built in place: mingw's GCC 12 warns wrongly of "A" + ...
    stored.front() = 'A';
    stored.back() = 'Z';
    const std::string left = std::string(59, '1');
    const std::string editor = "Header Message #5";
    printer.setLine(5, 1, stored);
    UserScript script;
    startWithCom1(script, [](Dialog&) {});
    modifyLine(script, 5);
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), stored);
        EXPECT_EQ(warningsShown(e), Warnings{});
    });
    tabToTextBox(script, editor);
    // Over the whole text, selected by Tab: the revert puts every character back.
    script.onWindow(editor, [](Dialog&) { desk::type("\xe9"); });
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), stored);
        EXPECT_EQ(warningsShown(e), kUnprintable);
        desk::press(desk::Key::Home);
        desk::press(desk::Key::Delete);
    });
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), stored.substr(1));
        EXPECT_EQ(warningsShown(e), Warnings{});
        desk::press(desk::Key::End);
        desk::press(desk::Key::Backspace);
    });
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), left);
        desk::type("!");
    });
    script.onWindow(editor, [&](Dialog& e) {
        // Still wider than the box, which takes nothing more; no warning, as it is not the
        // text check that refused.
        EXPECT_EQ(textOf(e, kTextBox), left);
        EXPECT_EQ(warningsShown(e), Warnings{});
        desk::click(e, kIdOk);
    });
    expectListedThenQuit(script, 5, left);
    run(script);

    const std::string expected = oneLineWritten(5, 1, left);
    EXPECT_EQ(printer.received(expected.size()), expected);
}

// Only the font the user settles on runs the font change: stepping over a font too wide
// for the text in the open list cuts nothing, and Esc goes back to the font it opened on.
TEST_F(Editing, ArrowsInTheOpenFontListCutNothingUntilAFontIsChosen) {
    // 374 dots in Lucida 16, 255 in Arial Narrow 20; Courier 20 holds 21 of the characters.
    const std::string text = "Quillet prints 25 letters";
    const std::string editor = "Header Message #3";
    printer.setLine(3, kLucida16, text);
    UserScript script;
    startWithCom1(script, [](Dialog&) {});
    modifyLine(script, 3);
    script.onWindow(editor, [](Dialog& e) {
        EXPECT_EQ(textOf(e, kFontList), "Lucida 16");
        desk::click(e, kFontList);
    });
    script.onWindow(editor, [](Dialog&) {
        for (int i = 0; i < 4; ++i) {  // past Courier 20 up to Arial Narrow 20
            desk::press(desk::Key::Up);
        }
    });
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kTextBox), text) << "the list is still open";
        desk::press(desk::Key::Enter);
    });
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kFontList), "Arial Narrow 20");
        EXPECT_EQ(textOf(e, kTextBox), text);
        EXPECT_EQ(warningsShown(e), Warnings{});
        desk::press(desk::Key::F4);  // opens it again, from the keyboard
    });
    script.onWindow(editor, [](Dialog&) {
        desk::press(desk::Key::Down);
        desk::press(desk::Key::Down);  // Courier 20
        desk::press(desk::Key::Escape);
    });
    script.onWindow(editor, [&](Dialog& e) {
        EXPECT_EQ(textOf(e, kFontList), "Arial Narrow 20");
        EXPECT_EQ(textOf(e, kTextBox), text);
        EXPECT_EQ(warningsShown(e), Warnings{});
        desk::click(e, kIdOk);
    });
    expectListedThenQuit(script, 3, text);
    run(script);

    const std::string expected = oneLineWritten(3, 3, text);
    EXPECT_EQ(printer.received(expected.size()), expected);
}

}  // namespace
}  // namespace quillet::scenario
