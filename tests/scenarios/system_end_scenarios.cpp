// The system ends Quillet (a shutdown, a logout, its terminal closed, Ctrl+C): as Cancel
// does, the printer back in mode 1 and the port closed, also when it comes in an exchange.
#include "tests/scenarios/by_the_clock.h"
#include "tests/scenarios/scenario.h"

namespace quillet::scenario {
namespace {

using Strings = std::vector<std::string>;

class SystemEnd : public Scenario, public ::testing::WithParamInterface<desk::SystemEnd> {};

TEST_P(SystemEnd, EndsQuilletAsCancelDoes) {
    UserScript script;
    startWithCom1(script, [](Dialog&) { desk::endFromSystem(GetParam()); });
    run(script);

    const std::string expected = kMode5 + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
    ASSERT_FALSE(pauses().empty());
    EXPECT_EQ(pauses().back().ms, 500) << "the pause before the port closes";
    EXPECT_FALSE(printer.portHeld());
    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Wait...", "Quillet"}));
}

INSTANTIATE_TEST_SUITE_P(EachWay, SystemEnd,
                         ::testing::Values(desk::SystemEnd::Terminate, desk::SystemEnd::HangUp,
                                           desk::SystemEnd::Interrupt));

using SystemEndInAnExchange = Scenario;

// Set Defaults runs to its end, the lines read back, and only then mode 1.
TEST_F(SystemEndInAnExchange, TakesEffectWhenTheExchangeEnds) {
    UserScript script;
    startWithCom1(script, [](Dialog& main) { desk::click(main, control::kSetDefaults); });
    duringPause(2000, [] { desk::endFromSystem(desk::SystemEnd::Terminate); });
    run(script);

    const std::string expected =
        kMode5 + queries(1, 6) + kMode5 + kDefaultSetBytes + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
    EXPECT_FALSE(printer.portHeld());
}

// The editor is cancelled and nothing of it is written. (A signal waits for the line's
// readback after the editor; the end of a Windows session, after which the system may end
// the process, does not.)
TEST_F(SystemEndInAnExchange, ClosesTheEditorFirst) {
    UserScript script;
    startWithCom1(script, [](Dialog& main) { desk::click(main, control::kModify); });
    script.onWindow("Header Message #1",
                    [](Dialog&) { desk::endFromSystem(desk::SystemEnd::Terminate); });
    run(script);

    const std::string loaded = kMode5 + queries(1, 6);
    const std::string received = printer.received(loaded.size() + kMode1.size());
    EXPECT_EQ(received.substr(0, loaded.size()), loaded);
    EXPECT_TRUE(received.ends_with(kMode1)) << received;
    EXPECT_EQ(received.find("H1,"), std::string::npos) << "the line written";
    EXPECT_FALSE(printer.portHeld());
}

}  // namespace
}  // namespace quillet::scenario
