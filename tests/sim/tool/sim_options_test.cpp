#include "sim/tool/sim_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "protocol/command_report.h"

namespace vornak::sim {
namespace {

std::optional<int> Parse(std::vector<const char*> arguments, SimToolOptions& options)
{
    arguments.insert(arguments.begin(), "vornak-sim");
    return ParseSimOptions(static_cast<int>(arguments.size()), arguments.data(), options);
}

TEST(SimOptions, DefaultsAreTheSupportedControllerWithNoFaults)
{
    SimToolOptions options;
    ASSERT_FALSE(Parse({}, options));
    const SimConfig defaults;
    EXPECT_EQ(options.config.vendorId, 0x2DC8);
    EXPECT_EQ(options.config.productId, 0x3014);
    EXPECT_EQ(options.config.flashSize, defaults.flashSize);
    EXPECT_TRUE(options.faults.rules.empty());
    EXPECT_FALSE(options.uhid);
    EXPECT_TRUE(options.flashFile.empty());
}

TEST(SimOptions, TakesLayoutVersionIdentityAndFaults)
{
    SimToolOptions options;
    ASSERT_FALSE(Parse({"--flash", "f.bin", "--flash-size", "0x20000", "--head-offset", "0x2000", "--block-size",
                        "8192", "--version", "9", "--minor", "4", "--beta", "3", "--single-number", "--vid", "0x1234",
                        "--pid", "0x3015", "--fault", "drop-reply:SaveHead", "--fault",
                        "late-reply:WriteChunk:delay=50", "--drop-fraction", "0.25", "--seed", "42",
                        "--silent-version", "--vanish-after", "12", "--exit-on-restart", "--uhid"},
                       options));
    EXPECT_EQ(options.flashFile, "f.bin");
    EXPECT_EQ(options.config.flashSize, 0x20000u);
    EXPECT_EQ(options.config.headOffset, 0x2000u);
    EXPECT_EQ(options.config.blockSize, 8192u);
    EXPECT_EQ(options.config.version.version, 9);
    EXPECT_EQ(options.config.version.minor, 4);
    EXPECT_EQ(options.config.version.beta, 3);
    EXPECT_TRUE(options.config.version.singleNumber);
    EXPECT_EQ(options.config.vendorId, 0x1234);
    EXPECT_EQ(options.config.productId, 0x3015);
    EXPECT_DOUBLE_EQ(options.faults.dropFraction, 0.25);
    EXPECT_EQ(options.faults.seed, 42u);
    EXPECT_TRUE(options.exitOnRestart);
    EXPECT_TRUE(options.uhid);
    ASSERT_EQ(options.faults.rules.size(), 4u);
    EXPECT_EQ(options.faults.rules[0].command, kSaveHead);
    EXPECT_EQ(options.faults.rules[1].delayMs, 50u);
    EXPECT_EQ(options.faults.rules[2].kind, FaultKind::DropReply);
    EXPECT_EQ(options.faults.rules[2].command, kVersionRequest);
    EXPECT_EQ(options.faults.rules[3].kind, FaultKind::Vanish);
    EXPECT_EQ(options.faults.rules[3].command, 0);
    EXPECT_EQ(options.faults.rules[3].firstOccurrence, 12u);
}

TEST(SimOptions, StopsWithAnErrorCodeOnBadOptions)
{
    const std::vector<std::vector<const char*>> cases = {
        {"--fault", "explode:SaveHead"}, {"--version", "256"}, {"--beta", "16"},
        {"--drop-fraction", "2"},        {"--no-such-option"}, {"--vid", "0x10000"},
        {"--flash-size", "0"},
    };
    for (const auto& arguments : cases) {
        SimToolOptions options;
        const std::optional<int> code = Parse(arguments, options);
        ASSERT_TRUE(code) << arguments[0];
        EXPECT_NE(*code, 0) << arguments[0];
    }
}

TEST(SimOptions, HelpStopsWithSuccess)
{
    SimToolOptions options;
    ::testing::internal::CaptureStdout();
    const std::optional<int> code = Parse({"--help"}, options);
    const std::string help = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0);
    EXPECT_NE(help.find("--fault"), std::string::npos);
}

}  // namespace
}  // namespace vornak::sim
