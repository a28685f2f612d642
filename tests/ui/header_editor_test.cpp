#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QClipboard>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "emulator/kv31_emulator.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "protocol/printer_commands.h"
#include "protocol/printer_font.h"
#include "tests/ui/font_indices.h"
#include "tests/ui/modal_poller.h"
#include "ui/header_editor.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/qt/qt_controls.h"
#include "ui/toolkit/qt/qt_testing.h"

namespace quillet {
namespace {

using namespace std::chrono_literals;
using test::ModalPoller;

constexpr char kTooLong[] = "Message is too long to fit in one line and has been truncated!!!";
constexpr char kUnprintable[] = "Unprintable character is found and eliminated!!!";

using namespace test;  // font indices

EditBox& textBox(HeaderEditor& e) {
    return *qtControlAs<EditBox>(e, control::kTextBox);
}

DropDownList& fontList(HeaderEditor& e) {
    return *qtControlAs<DropDownList>(e, control::kFontList);
}

DropDownList& alignmentList(HeaderEditor& e) {
    return *qtControlAs<DropDownList>(e, control::kAlignmentList);
}

QWidget& applyButton(HeaderEditor& e) {
    return *qtControl(e, control::kApply);
}

QDialog& window(HeaderEditor& e) {
    return *qtWindow(e);
}

// The warnings the user sees, in screen order: icon, then the message below the lists.
std::string warnings(HeaderEditor& e) {
    std::string seen;
    for (const auto& [id, name] : {std::pair{control::kWarningIcon, "icon "},
                                   std::pair{control::kTooLongMessage, "too-long "},
                                   std::pair{control::kUnprintableMessage, "unprintable "}}) {
        if (controlHandle<StaticControl>(e, id).isVisible()) {
            seen += name;
        }
    }
    return seen.empty() ? "none" : seen.substr(0, seen.size() - 1);
}

// Types at the end of the text, one key a character.
void type(HeaderEditor& e, const QString& text) {
    QTest::keyClick(&textBox(e), Qt::Key_End);
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(&textBox(e), c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, &textBox(e), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

void backspace(HeaderEditor& e, int times = 1) {
    for (int i = 0; i < times; ++i) {
        QTest::keyClick(&textBox(e), Qt::Key_Backspace);
    }
}

void paste(HeaderEditor& e, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(&textBox(e), Qt::Key_End);
    QTest::keyClick(&textBox(e), Qt::Key_V, Qt::ControlModifier);
}

// Opens the list and picks the entry with the arrow keys and Enter, as a user would.
void choose(DropDownList& list, int row) {
    list.showPopup();
    QAbstractItemView* view = list.view();
    for (int at = view->currentIndex().row(); at < row; ++at) {
        QTest::keyClick(view, Qt::Key_Down);
    }
    for (int at = view->currentIndex().row(); at > row; --at) {
        QTest::keyClick(view, Qt::Key_Up);
    }
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(list.currentIndex(), row);
}

struct NoticeSeen {
    bool shown = false;
    QString caption;
    QString message;
};

// Runs press, which must bring up the failure notice; closes the notice with Enter.
NoticeSeen expectNotice(const std::function<void()>& press) {
    NoticeSeen seen;
    ModalPoller closer([&](QDialog& d) {
        seen.shown = true;
        seen.caption = d.windowTitle();
        seen.message = qtControlAs<QLabel>(*dialogOf(&d), control::kFailureMessage)->text();
        QTest::keyClick(&d, Qt::Key_Return);
    });
    press();
    EXPECT_FALSE(closer.timedOut());
    return seen;
}

void expectWriteFailureNotice(const NoticeSeen& seen) {
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, "Communication Failure");
    EXPECT_EQ(seen.message,
              "An error occurred while writing the header to the printer. Please try again.");
}

std::string headerWrite(int line, int printerFont, const std::string& spaces,
                        const std::string& text) {
    return "H" + std::to_string(line) + "," + std::to_string(printerFont) + ",\"" + spaces + text +
           "\"\n";
}

// The editor on COM1, which leads to an emulated printer on a pseudo-terminal.
class HeaderEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        printer_.setPacing(false);
        ASSERT_TRUE(printer_.start());
        routePort("COM1", printer_.devicePath());
        ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    }

    void TearDown() override {
        closePort();
        routePort("COM1", "");
        printer_.stop();
    }

    // One modal run driven by steps, which must close the window; bounded by a deadline.
    int run(int line, const std::string& text, int font, Alignment alignment,
            const std::function<void(HeaderEditor&)>& steps) {
        editor_.prepareEdit(line, text, font, alignment);
        ModalPoller poller([&](QDialog& d) {
            ASSERT_EQ(dialogOf(&d), &editor_);
            steps(editor_);
        });
        const int result = editor_.runModal();
        EXPECT_FALSE(poller.timedOut());
        EXPECT_EQ(poller.actionsRun(), 1);
        return result;
    }

    // Everything the printer received since the last call. A mode command sent after it marks
    // the end, so nothing still on its way is missed.
    std::string written() {
        const std::string mark(kMode5Command);
        if (!writeBytes(mark.data(), mark.size())) {
            return "<link closed>";
        }
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (std::chrono::steady_clock::now() < deadline) {
            const std::string bytes = printer_.received();
            if (bytes.ends_with(mark)) {
                printer_.clearReceived();
                return bytes.substr(0, bytes.size() - mark.size());
            }
            std::this_thread::sleep_for(5ms);
        }
        return "<mark never arrived>";
    }

    kv31::Emulator printer_;
    HeaderEditor editor_;
};

TEST_F(HeaderEditorTest, OpensOnTheLineWithItsFontLeftAlignedAndNoWarning) {
    run(4, "KV-31 HEADER", kCourier20, Alignment::Left, [](HeaderEditor& e) {
        EXPECT_EQ(e.caption(), "Header Message #4");
        EXPECT_EQ(textBox(e).text(), "KV-31 HEADER");
        EXPECT_EQ(fontList(e).currentText(), "Courier 20");
        EXPECT_EQ(fontList(e).count(), 7);
        EXPECT_EQ(alignmentList(e).currentText(), "Left");
        EXPECT_EQ(warnings(e), "none");
        EXPECT_EQ(focusedControlId(e), kIdOk);
        EXPECT_EQ(controlHandle<StaticControl>(e, control::kTooLongMessage).text(), kTooLong);
        EXPECT_EQ(controlHandle<StaticControl>(e, control::kUnprintableMessage).text(),
                  kUnprintable);
        // Leave a warning showing; the next run must not inherit it.
        type(e, QStringLiteral("\u00e9"));
        EXPECT_EQ(warnings(e), "icon unprintable");
        QTest::keyClick(&window(e), Qt::Key_Escape);
    });
    const int result = run(2, "", kLucida16, Alignment::Center, [](HeaderEditor& e) {
        EXPECT_EQ(e.caption(), "Header Message #2");
        EXPECT_EQ(textBox(e).text(), "");
        EXPECT_EQ(fontList(e).currentText(), "Lucida 16");
        EXPECT_EQ(alignmentList(e).currentText(), "Center");
        EXPECT_EQ(warnings(e), "none");
        QTest::keyClick(&window(e), Qt::Key_Escape);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(written(), "");
}

TEST_F(HeaderEditorTest, ArialNarrow14TakesThirtyTwoCharactersNotThirtyThree) {
    run(1, "", kArialNarrow14, Alignment::Left, [](HeaderEditor& e) {
        type(e, QString(32, 'i'));
        EXPECT_EQ(textBox(e).text(), QString(32, 'i'));
        EXPECT_EQ(warnings(e), "none");
        type(e, "i");
        EXPECT_EQ(textBox(e).text(), QString(32, 'i'));
        EXPECT_EQ(warnings(e), "icon too-long");
        // The next accepted change clears the warning.
        backspace(e);
        EXPECT_EQ(textBox(e).text(), QString(31, 'i'));
        EXPECT_EQ(warnings(e), "none");
        QTest::keyClick(&textBox(e), Qt::Key_Return);
    });
    EXPECT_EQ(written(), headerWrite(1, 1, "", std::string(31, 'i')));
}

TEST_F(HeaderEditorTest, AFullLineIsTakenAndWrittenWithoutSpacesWhateverTheAlignment) {
    const std::string full = "1111123567890123567890123567890";
    ASSERT_EQ(printedWidth(kArialNarrow20, full), 380);
    run(6, "", kArialNarrow20, Alignment::Left, [&](HeaderEditor& e) {
        type(e, QString::fromLatin1(full));
        EXPECT_EQ(textBox(e).text().toStdString(), full);
        EXPECT_EQ(warnings(e), "none");
        for (int alignment : {2, 1}) {
            choose(alignmentList(e), alignment);
            QTest::mouseClick(&applyButton(e), Qt::LeftButton);
        }
        EXPECT_EQ(warnings(e), "none");
        QTest::keyClick(&window(e), Qt::Key_Escape);
    });
    EXPECT_EQ(written(), headerWrite(6, 3, "", full) + headerWrite(6, 3, "", full));
}

TEST_F(HeaderEditorTest, AppliedAlignmentPutsSpacesInFront) {
    run(2, "", kArial14, Alignment::Left, [](HeaderEditor& e) {
        type(e, "AB");
        choose(alignmentList(e), 1);
        QTest::mouseClick(&applyButton(e), Qt::LeftButton);
        choose(alignmentList(e), 2);
        QTest::mouseClick(&applyButton(e), Qt::LeftButton);
        EXPECT_EQ(textBox(e).text(), "AB");
        QTest::keyClick(&window(e), Qt::Key_Escape);
    });
    EXPECT_EQ(written(), headerWrite(2, 2, std::string(19, ' '), "AB") +
                             headerWrite(2, 2, std::string(39, ' '), "AB"));
    // Cancel after Apply: the printer keeps the line applied last.
    EXPECT_EQ(printer_.lines()[1].text, std::string(39, ' ') + "AB");
    EXPECT_EQ(printer_.lines()[1].printerFont, 2);
}

TEST_F(HeaderEditorTest, DeletingEverythingIsTakenAndAnEmptyLineIsWritten) {
    run(3, "HELLO", kArial14, Alignment::Left, [](HeaderEditor& e) {
        type(e, QStringLiteral("\u00e9"));
        EXPECT_EQ(warnings(e), "icon unprintable");
        backspace(e, 5);
        EXPECT_EQ(textBox(e).text(), "");
        EXPECT_EQ(warnings(e), "none");
        QTest::mouseClick(&applyButton(e), Qt::LeftButton);
        choose(alignmentList(e), 2);
        QTest::keyClick(&textBox(e), Qt::Key_Return);
    });
    // An empty line in Arial 14 leaves room for 42 spaces.
    EXPECT_EQ(written(), headerWrite(3, 2, "", "") + headerWrite(3, 2, std::string(42, ' '), ""));
}

TEST_F(HeaderEditorTest, AFontTooNarrowForTheTextCutsItForGood) {
    run(1, "", kArialNarrow14, Alignment::Left, [](HeaderEditor& e) {
        type(e, QString(30, 'a'));
        EXPECT_EQ(warnings(e), "none");
        choose(fontList(e), kCourier20);
        EXPECT_EQ(textBox(e).text(), QString(21, 'a'));
        EXPECT_EQ(warnings(e), "icon too-long");
        choose(fontList(e), kArialNarrow14);
        EXPECT_EQ(textBox(e).text(), QString(21, 'a'));
        EXPECT_EQ(warnings(e), "none");
        // The cut text is the accepted one: a rejected change returns to it.
        paste(e, QStringLiteral("a\tb"));
        EXPECT_EQ(textBox(e).text(), QString(21, 'a'));
        EXPECT_EQ(warnings(e), "icon unprintable");
        // A font that holds the text changes nothing but the warning.
        choose(fontList(e), kArial14);
        EXPECT_EQ(textBox(e).text(), QString(21, 'a'));
        EXPECT_EQ(warnings(e), "none");
        QTest::keyClick(&textBox(e), Qt::Key_Return);
    });
    EXPECT_EQ(written(), headerWrite(1, 2, "", std::string(21, 'a')));
}

TEST_F(HeaderEditorTest, TheFirstBadCharacterOfAPasteDecidesTheWarning) {
    run(1, "start", kArialNarrow14, Alignment::Left, [](HeaderEditor& e) {
        // A tab tenth, in a paste far too long and far wider than the box: the box takes what
        // it shows, and the check finds the tab.
        paste(e, QString(9, 'M') + '\t' + QString(400, 'M'));
        EXPECT_EQ(textBox(e).text(), "start");
        EXPECT_EQ(warnings(e), "icon unprintable");
        paste(e, QString(9, 'i') + '\t' + QString(40, 'i'));
        EXPECT_EQ(textBox(e).text(), "start");
        EXPECT_EQ(warnings(e), "icon unprintable");
        // The 33rd character fails before a later tab.
        paste(e, QString(30, 'i') + '\t');
        EXPECT_EQ(textBox(e).text(), "start");
        EXPECT_EQ(warnings(e), "icon too-long");
        // Typed characters beyond Latin-1 are as unprintable as those above 126 within it.
        type(e, QStringLiteral("\u20ac"));
        EXPECT_EQ(textBox(e).text(), "start");
        EXPECT_EQ(warnings(e), "icon unprintable");
        paste(e, " ok");
        EXPECT_EQ(textBox(e).text(), "start ok");
        EXPECT_EQ(warnings(e), "none");
        QTest::keyClick(&textBox(e), Qt::Key_Return);
    });
    EXPECT_EQ(written(), headerWrite(1, 1, "", "start ok"));
}

TEST_F(HeaderEditorTest, AFailedWriteIsReportedAndApplyLeavesTheEditorOpen) {
    printer_.vanish();
    const int result = run(2, "AB", kArial14, Alignment::Left, [](HeaderEditor& e) {
        type(e, "C");
        for (int attempt = 0; attempt < 2; ++attempt) {
            expectWriteFailureNotice(
                expectNotice([&] { QTest::mouseClick(&applyButton(e), Qt::LeftButton); }));
            EXPECT_TRUE(e.isWindowVisible());
            EXPECT_EQ(textBox(e).text(), "ABC");
            EXPECT_EQ(warnings(e), "none");
        }
        QTest::keyClick(&window(e), Qt::Key_Escape);
    });
    EXPECT_EQ(result, kIdCancel);
}

TEST_F(HeaderEditorTest, OkClosesAfterTheNoticeWhenTheWriteFails) {
    closePort();
    const int result = run(2, "AB", kArial14, Alignment::Left, [](HeaderEditor& e) {
        expectWriteFailureNotice(
            expectNotice([&] { QTest::keyClick(&textBox(e), Qt::Key_Return); }));
        EXPECT_FALSE(e.isWindowVisible());
    });
    EXPECT_EQ(result, kIdOk);
}

TEST_F(HeaderEditorTest, NothingIsWrittenWithoutAnAlignment) {
    run(1, "AB", kArial14, static_cast<Alignment>(3), [](HeaderEditor& e) {
        EXPECT_EQ(alignmentList(e).currentIndex(), -1);
        expectWriteFailureNotice(
            expectNotice([&] { QTest::mouseClick(&applyButton(e), Qt::LeftButton); }));
        QTest::keyClick(&window(e), Qt::Key_Escape);
    });
    EXPECT_EQ(written(), "");
}

// A line written centred or right-aligned comes back with its spaces and can break the
// rules for typed text; it must open as it is and stay editable.
TEST_F(HeaderEditorTest, ARightAlignedLineReopensAsItIsAndStaysEditable) {
    run(2, "AB", kArial14, Alignment::Left, [](HeaderEditor& e) {
        choose(alignmentList(e), 2);
        QTest::keyClick(&textBox(e), Qt::Key_Return);
    });
    const std::string rightAligned = written();
    ASSERT_EQ(rightAligned, headerWrite(2, 2, std::string(39, ' '), "AB"));
    const std::string stored = printer_.lines()[1].text;
    ASSERT_EQ(stored, std::string(39, ' ') + "AB");

    run(2, stored, kArial14, Alignment::Left, [&](HeaderEditor& e) {
        EXPECT_EQ(textBox(e).text().toStdString(), stored);
        EXPECT_EQ(warnings(e), "none");
        QTest::keyClick(&textBox(e), Qt::Key_Return);
    });
    EXPECT_EQ(written(), rightAligned);

    run(2, stored, kArial14, Alignment::Left, [&](HeaderEditor& e) {
        backspace(e);
        EXPECT_EQ(textBox(e).text().toStdString(), std::string(39, ' ') + "A");
        EXPECT_EQ(warnings(e), "none");
        // Growing past the accepted text is refused, and refused once.
        type(e, "B");
        EXPECT_EQ(textBox(e).text().toStdString(), std::string(39, ' ') + "A");
        EXPECT_EQ(warnings(e), "icon too-long");
        QTest::keyClick(&textBox(e), Qt::Key_Home);
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(&textBox(e), Qt::Key_Delete);
        }
        EXPECT_EQ(warnings(e), "none");
        // Down to 30 characters, the usual 32 apply again.
        type(e, "BCD");
        EXPECT_EQ(textBox(e).text().toStdString(), std::string(29, ' ') + "ABC");
        EXPECT_EQ(warnings(e), "icon too-long");
        QTest::keyClick(&textBox(e), Qt::Key_Return);
    });
    EXPECT_EQ(written(), headerWrite(2, 2, "", std::string(29, ' ') + "ABC"));
}

TEST_F(HeaderEditorTest, AnUnscreenedLineOpensAsItIsAndTakesNoNewFault) {
    // 20 capitals W take 538 dots in Arial 20.
    run(1, std::string(20, 'W'), kArial20, Alignment::Left, [](HeaderEditor& e) {
        EXPECT_EQ(textBox(e).text(), QString(20, 'W'));
        EXPECT_EQ(warnings(e), "none");
        backspace(e);
        EXPECT_EQ(textBox(e).text(), QString(19, 'W'));
        EXPECT_EQ(warnings(e), "none");
        // Apply cuts it to what fits and writes nothing.
        expectWriteFailureNotice(
            expectNotice([&] { QTest::mouseClick(&applyButton(e), Qt::LeftButton); }));
        EXPECT_EQ(textBox(e).text(), QString(14, 'W'));
        EXPECT_EQ(warnings(e), "too-long");
        QTest::keyClick(&window(e), Qt::Key_Escape);
    });
    EXPECT_EQ(written(), "");

    run(5, "TAB\tHERE", kArial14, Alignment::Left, [](HeaderEditor& e) {
        EXPECT_EQ(textBox(e).text(), "TAB\tHERE");
        EXPECT_EQ(warnings(e), "none");
        backspace(e);
        EXPECT_EQ(textBox(e).text(), "TAB\tHER");
        EXPECT_EQ(warnings(e), "none");
        paste(e, "\t");
        EXPECT_EQ(textBox(e).text(), "TAB\tHER");
        EXPECT_EQ(warnings(e), "icon unprintable");
        QTest::keyClick(&textBox(e), Qt::Key_Return);
    });
    EXPECT_EQ(written(), headerWrite(5, 2, "", "TAB\tHER"));
}

TEST_F(HeaderEditorTest, TheBoxTakesNoMoreThanItShows) {
    run(1, "", kArialNarrow14, Alignment::Left, [](HeaderEditor& e) {
        EditBox& box = textBox(e);
        // With a large screen font the box fills long before the printer's line does.
        QFont large = box.font();
        large.setPixelSize(40);
        box.setFont(large);
        const auto shows = [&box](const QString& text) {
            return box.fontMetrics().horizontalAdvance(text) <= box.visibleTextWidth();
        };
        type(e, QString(20, 'W'));
        const QString full = box.text();
        EXPECT_LT(full.size(), 20);
        EXPECT_EQ(full, QString(full.size(), 'W'));
        EXPECT_TRUE(shows(full));
        EXPECT_FALSE(shows(full + 'W'));
        EXPECT_EQ(warnings(e), "none");
        paste(e, "WW");
        EXPECT_EQ(box.text(), full);
        EXPECT_EQ(warnings(e), "none");
        backspace(e, 2);
        paste(e, "W");
        EXPECT_EQ(box.text(), full.left(full.size() - 1));
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(written().substr(0, 7), "H1,1,\"W");
}

}  // namespace
}  // namespace quillet
