// The simulator opens its monitor window unless told not to.

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "sim/sim_options.h"

namespace sw::sim {
namespace {

SimOptionsResult parse(std::vector<std::string_view> args) {
    return parseSimOptions(args);
}

TEST(MonitorOption, TheMonitorOpensByDefault) {
    const SimOptionsResult r = parse({});
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.options.monitor);
}

TEST(MonitorOption, NoMonitorKeepsTheConsoleOnlyAndNothingElse) {
    const SimOptionsResult r = parse({"--no-monitor"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.options.monitor);
    SimOptions defaults;
    EXPECT_EQ(r.options.signal, defaults.signal);
    EXPECT_EQ(r.options.faults, defaults.faults);
    EXPECT_EQ(r.options.ignoreStdin, defaults.ignoreStdin);
}

TEST(MonitorOption, NoMonitorCombinesWithOtherOptions) {
    const SimOptionsResult r = parse({"--signal-mode", "2", "--no-monitor", "--late"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.options.monitor);
    EXPECT_EQ(r.options.signal.signalMode, 2);
    EXPECT_TRUE(r.options.faults.answerLate);
}

TEST(MonitorOption, UsageNamesTheOption) {
    EXPECT_NE(simUsageText().find("--no-monitor"), std::string_view::npos);
}

}  // namespace
}  // namespace sw::sim
