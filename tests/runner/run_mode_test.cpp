#include "runner/run_mode.h"

#include <gtest/gtest.h>

namespace vpk {
namespace {

TEST(RunModeTest, FirstArgumentSelectsTheMode) {
    struct Case {
        const char* argument;
        RunMode expected;
    };
    const Case cases[] = {
        {"C:\\Save\\backup.zip", RunMode::Viewer},
        {"archive.ZiP", RunMode::Viewer},
        {"x.zip.vpk", RunMode::Viewer},  // the viewer test comes first
        {"_REST_A", RunMode::Restore},
        {"_rest_a", RunMode::Unrecognised},  // restore is case-sensitive
        {"tous", RunMode::AllQueries},
        {"TOUS", RunMode::AllQueries},
        {"7", RunMode::NumberedQuery},
        {"007", RunMode::NumberedQuery},
        {"12a", RunMode::Unrecognised},
        {"C:\\VPK\\Vpk\\job.VpK", RunMode::QueryFile},
        {"C:\\VPK\\Vpk\\job", RunMode::Unrecognised},
        {"", RunMode::Unrecognised},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyFirstArgument(true, c.argument), c.expected) << c.argument;
    }
    EXPECT_EQ(ClassifyFirstArgument(false, ""), RunMode::Interactive);
}

}  // namespace
}  // namespace vpk
