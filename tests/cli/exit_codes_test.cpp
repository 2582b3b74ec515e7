#include "cli/exit_codes.h"

#include <set>

#include <gtest/gtest.h>

namespace vornak::cli {
namespace {

TEST(ExitCodes, AreDistinctAndAllListedInTheHelp)
{
    std::set<int> seen;
    const std::string help = ExitCodeHelp();
    for (const ExitCodeDescription& entry : ExitCodeTable()) {
        EXPECT_TRUE(seen.insert(entry.code).second) << "code " << entry.code << " used twice";
        EXPECT_NE(help.find("  " + std::to_string(entry.code) + "  " + entry.meaning), std::string::npos)
            << help;
    }
    EXPECT_EQ(seen, (std::set<int>{kExitSuccess, kExitUpdateFailed, kExitUsage, kExitNoController,
                                   kExitInvalidFile, kExitCancelled}));
    EXPECT_EQ(kExitSuccess, 0);
}

TEST(ExitCodes, FollowHowTheUpdateEnded)
{
    struct Case {
        UpdateOutcome outcome;
        ExitCode expected;
    };
    const Case cases[] = {
        {{UpdateEnd::Succeeded}, kExitSuccess},
        {{UpdateEnd::Failed}, kExitUpdateFailed},
        {{UpdateEnd::Cancelled}, kExitCancelled},
        {{UpdateEnd::InvalidFile}, kExitInvalidFile},
        {{UpdateEnd::NotRecognised}, kExitNoController},
        // No worker ran: a file shorter than a header.
        {{UpdateEnd::None}, kExitInvalidFile},
        // A silent stop is the file's fault only for a foreign or empty file.
        {{UpdateEnd::SilentStop, true, false}, kExitInvalidFile},
        {{UpdateEnd::SilentStop, false, true}, kExitInvalidFile},
        {{UpdateEnd::SilentStop, false, false}, kExitUpdateFailed},
        // A foreign pid does not turn a finished update into a refusal.
        {{UpdateEnd::Succeeded, true, false}, kExitSuccess},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExitCodeForUpdate(c.outcome), c.expected)
            << "end " << static_cast<int>(c.outcome.end) << " wrongPid " << c.outcome.wrongPid << " empty "
            << c.outcome.emptyMainSection;
}

}  // namespace
}  // namespace vornak::cli
