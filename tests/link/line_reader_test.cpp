#include <gtest/gtest.h>

#include <string>

#include "link/line_reader.h"
#include "link/receive_ring.h"
#include "ring_test_support.h"

namespace quillet {
namespace {

using test::PauseRecorder;
using test::push;

// A reader over a ring of its own.
class OverOwnRing : public ::testing::Test {
  protected:
    ReceiveRing ring;
    LineReader reader{ring};
};
using TakeLine = OverOwnRing;
using DrainLines = OverOwnRing;

// Leaves the ring empty with both indices at index.
void emptyAt(ReceiveRing& ring, std::size_t index) {
    while (ring.writeIndex() != index) {
        ASSERT_TRUE(ring.tryPush('-'));
        ring.releaseTo(ring.writeIndex());
    }
}

TEST_F(TakeLine, DropsTheLineFeedAndACarriageReturnRightBeforeIt) {
    ASSERT_TRUE(push(ring, "Header 1\r\nfont:\rbold\nplain\n\n\r\r\n"));
    char line[50];
    std::size_t length = 0;
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "Header 1");
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "font:\rbold");
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "plain");
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "");
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "\r");
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    EXPECT_EQ(ring.unreadCount(), 0u);
}

TEST_F(TakeLine, EveryByteValueIsPartOfTheLineAndItsLength) {
    using namespace std::string_literals;
    ASSERT_TRUE(push(ring, "\0\0noise\0Header 1\r\n\0\r\n"s));
    char line[50];
    std::size_t length = 0;
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_EQ(std::string(line, length), "\0\0noise\0Header 1"s);
    EXPECT_EQ(line[length], '\0');
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_EQ(std::string(line, length), "\0"s);
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    EXPECT_EQ(length, 0u);
}

TEST_F(TakeLine, APartialLineWaitsForItsLineFeed) {
    ASSERT_TRUE(push(ring, "text: \"ab"));
    char line[50];
    std::size_t length = 0;
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    EXPECT_EQ(ring.readIndex(), 0u);
    EXPECT_EQ(ring.unreadCount(), 9u);

    ASSERT_TRUE(push(ring, "c\"\r"));
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    ASSERT_TRUE(push(ring, "\n"));
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "text: \"abc\"");
}

TEST_F(TakeLine, Capacity50TakesLinesOfUpTo49Bytes) {
    const std::string longest(49, 'a');
    const std::string withCr(48, 'b');
    ASSERT_TRUE(push(ring, longest + "\n" + withCr + "\r\n"));
    char line[kShortLineCapacity];
    std::size_t length = 0;
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_EQ(line, longest);
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_EQ(line, withCr);
}

TEST_F(TakeLine, ALineTooLongIsDroppedWholeAndTheLinesBehindItAreTaken) {
    ASSERT_TRUE(push(ring, std::string(50, 'a') + "\n" + std::string(49, 'c') + "\r\nnext\n"));
    char line[kShortLineCapacity];
    std::size_t length = 0;
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "next");
}

TEST_F(TakeLine, ALineThatOutgrowsTheBufferBeforeItsLineFeedIsDroppedToo) {
    char line[8];
    std::size_t length = 0;
    ASSERT_TRUE(push(ring, "1234567"));
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    EXPECT_EQ(ring.unreadCount(), 7u);  // could still fit

    ASSERT_TRUE(push(ring, "89"));
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    ASSERT_TRUE(push(ring, "abc\r\nok\r\n"));
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));  // the rest of the long line
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "ok");
}

TEST_F(TakeLine, AFloodLongerThanTheRingDoesNotWedgeIt) {
    char line[kReplyLineCapacity];
    std::size_t length = 0;
    const std::string flood(5000, 'x');
    std::size_t sent = 0;
    // The reader stores what fits; each failed take makes room again.
    while (sent < flood.size()) {
        while (sent < flood.size() && ring.tryPush(static_cast<unsigned char>(flood[sent]))) {
            ++sent;
        }
        ASSERT_FALSE(reader.takeLine(line, sizeof line, length));
        ASSERT_LT(ring.unreadCount(), ReceiveRing::kMaxUnread);
    }
    ASSERT_TRUE(push(ring, "\r\nHeader 2\r\n"));
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "Header 2");
}

TEST_F(TakeLine, AFullRingWithoutLineFeedIsDroppedWhateverTheCapacity) {
    while (ring.tryPush('x')) {
    }
    std::string wide(4096, '\0');
    std::size_t length = 0;
    EXPECT_FALSE(reader.takeLine(wide.data(), wide.size(), length));
    EXPECT_EQ(ring.unreadCount(), 0u);
    ASSERT_TRUE(push(ring, "tail\nafter\n"));
    EXPECT_FALSE(reader.takeLine(wide.data(), wide.size(), length));
    ASSERT_TRUE(reader.takeLine(wide.data(), wide.size(), length));
    EXPECT_STREQ(wide.c_str(), "after");
}

TEST_F(TakeLine, ALineIsTakenWholeAcrossTheWrapOfTheIndices) {
    emptyAt(ring, 2040);
    ASSERT_TRUE(push(ring, "Header 5 across\r\n"));
    ASSERT_LT(ring.writeIndex(), ring.readIndex());
    char line[kShortLineCapacity];
    std::size_t length = 0;
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "Header 5 across");
    EXPECT_EQ(ring.readIndex(), 9u);
}

TEST_F(TakeLine, TinyBuffers) {
    ASSERT_TRUE(push(ring, "\nx\n"));
    char line[1] = {'?'};
    std::size_t length = 0;
    EXPECT_FALSE(reader.takeLine(line, 0, length));
    EXPECT_EQ(ring.unreadCount(), 3u);
    ASSERT_TRUE(reader.takeLine(line, 1, length));
    EXPECT_STREQ(line, "");
    EXPECT_FALSE(reader.takeLine(line, 1, length));
    EXPECT_FALSE(reader.takeLine(nullptr, 50, length));
}

TEST_F(DrainLines, ReturnsAtOnceOnAnEmptyRing) {
    PauseRecorder pauses;
    reader.drainLines(80);
    reader.drainLines(0);
    EXPECT_TRUE(pauses.taken().empty());
    ASSERT_TRUE(push(ring, "ok\n"));
    char line[8];
    std::size_t length = 0;
    EXPECT_TRUE(reader.takeLine(line, sizeof line, length));
}

TEST_F(DrainLines, PausesAfterEachLineAndLeavesAPartialOne) {
    ASSERT_TRUE(push(ring, "one\r\ntwo\r\nthree\r\nfour"));
    PauseRecorder pauses;
    reader.drainLines(80);
    EXPECT_EQ(pauses.taken(), (std::vector<int>{250, 250, 250}));
    ASSERT_TRUE(push(ring, "\n"));
    char line[80];
    std::size_t length = 0;
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "four");
}

TEST_F(DrainLines, DiscardsOverLongLinesSoTheNextAnswerReadsBack) {
    ASSERT_TRUE(
        push(ring, "noise\r\n" + std::string(300, '#') + "\r\nstale\r\n" + std::string(60, '#')));
    PauseRecorder pauses;
    reader.drainLines(kShortLineCapacity);
    EXPECT_EQ(ring.unreadCount(), 0u);
    EXPECT_EQ(pauses.taken().size(), 4u);

    ASSERT_TRUE(push(ring, std::string(10, '#') + "\r\nHeader 3\r\n"));
    char line[kShortLineCapacity];
    std::size_t length = 0;
    EXPECT_FALSE(reader.takeLine(line, sizeof line, length));
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "Header 3");
}

// A printer that keeps talking while the drain pauses.
ReceiveRing* talkingRing = nullptr;
std::string talk;

void talkDuringPause(int pauseNumber) {
    if (pauseNumber <= 100) {  // a drain that never ends would end here, and fail
        push(*talkingRing, talk);
    }
}

class DrainWhileTalking : public OverOwnRing {
  protected:
    void SetUp() override { talkingRing = &ring; }
    void TearDown() override { talkingRing = nullptr; }
};

TEST_F(DrainWhileTalking, StatusLinesEndTheDrainAfterEightPauses) {
    talk = "status\r\nstatus\r\nstatus\r\n";
    ASSERT_TRUE(push(ring, "old\r\nold\r\nold\r\n"));
    PauseRecorder pauses(talkDuringPause);
    reader.drainLines(80);
    EXPECT_EQ(pauses.taken(), std::vector<int>(kDrainPausedLines, kDrainPauseMs));
    EXPECT_EQ(ring.unreadCount(), 0u);  // the lines that came during the last pause too
}

// Each part of an endless line that is dropped counts as a line taken.
TEST_F(DrainWhileTalking, AStreamWithoutLineFeedEndsTheDrainToo) {
    talk = std::string(240, 'x');
    ASSERT_TRUE(push(ring, std::string(100, 'x')));
    PauseRecorder pauses(talkDuringPause);
    reader.drainLines(kShortLineCapacity);
    EXPECT_EQ(pauses.taken(), std::vector<int>(kDrainPausedLines, kDrainPauseMs));
    EXPECT_EQ(ring.unreadCount(), 0u);
}

// Lets a waitForLine test make a line arrive during a chosen pause.
ReceiveRing* lateRing = nullptr;
int latePause = 0;

void arriveLate(int pauseNumber) {
    if (pauseNumber == latePause) {
        push(*lateRing, "late\r\n");
    }
}

class WaitForLine : public OverOwnRing {
  protected:
    void SetUp() override { lateRing = &ring; }
    void TearDown() override { lateRing = nullptr; }
    char line[kShortLineCapacity] = {};
    std::size_t length = 0;
};

TEST_F(WaitForLine, ALineWaitingIsTakenWithoutPause) {
    ASSERT_TRUE(push(ring, "Header 1\r\n"));
    PauseRecorder pauses;
    ASSERT_TRUE(reader.waitForLine(line, sizeof line, length));
    EXPECT_STREQ(line, "Header 1");
    EXPECT_TRUE(pauses.taken().empty());
}

TEST_F(WaitForLine, SucceedsOnTheFourthTry) {
    latePause = 3;
    PauseRecorder pauses(arriveLate);
    ASSERT_TRUE(reader.waitForLine(line, sizeof line, length));
    EXPECT_STREQ(line, "late");
    EXPECT_EQ(pauses.taken(), (std::vector<int>{500, 500, 500}));
}

TEST_F(WaitForLine, FailsAfterFourTriesAndFourPausesWithoutTakingALine) {
    // A line that arrives during the last pause is left for the next reader, not lost.
    latePause = 4;
    PauseRecorder pauses(arriveLate);
    EXPECT_FALSE(reader.waitForLine(line, sizeof line, length));
    EXPECT_EQ(pauses.taken(), (std::vector<int>{500, 500, 500, 500}));
    ASSERT_TRUE(reader.takeLine(line, sizeof line, length));
    EXPECT_STREQ(line, "late");
}

TEST_F(WaitForLine, AnOverLongLineCostsOneTry) {
    ASSERT_TRUE(push(ring, std::string(80, '#') + "\r\nHeader 4\r\n"));
    PauseRecorder pauses;
    ASSERT_TRUE(reader.waitForLine(line, sizeof line, length));
    EXPECT_STREQ(line, "Header 4");
    EXPECT_EQ(pauses.taken(), (std::vector<int>{500}));
}

}  // namespace
}  // namespace quillet
