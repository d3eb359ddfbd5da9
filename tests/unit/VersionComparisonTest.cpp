#include "updates/VersionComparison.h"

#include <gtest/gtest.h>

#include <string>

namespace orvia {
namespace {

struct Comparison {
    std::string candidate;
    std::string current;
    bool newer;
};

TEST(VersionComparison, DecidesAtTheFirstDifferingComponent) {
    const Comparison table[] = {
        {"1.10", "1.9", true},
        {"1.9", "1.10", false},
        {"1.0", "1", false},
        {"1", "1.0.0", false},
        {"1.0.1", "1.0", true},
        {"2.0", "1.99.99", true},
        {"1.2.3", "1.2.3", false},
        {"1.2a", "1.2", false},
        {"1.2", "1.2a", true},
        {"v2.0", "1.0", false},
        {"2.0.0-beta", "1.9", true},
        {"1.2.3-beta", "1.2.3", false},
        {"1..2", "1.1", true},
        {".5", "0.4", true},
        {"", "0", false},
        {"1", "", true},
        {"1.-1", "1", false},
        {"+2", "1", true},
        {" 2", "1", false},
        {"99999999999999999999", "1", false},
        {"0.1", "0", true},
        // Empty texts and pieces.
        {"", "", false},
        {"...", "", false},
        {"1.", "1", false},
        {"1.2.0.0.0", "1.2", false},
        {"1.2", "1.2.0.0", false},
        // A negative component ranks below a missing one.
        {"1.0.-1", "1", false},
        {"1", "1.0.-1", true},
        {"007", "6", true},
        {"1.007", "1.7", false},
        // The ends of the signed 64-bit range, and one past them, which are worth 0 and not clamped.
        {"9223372036854775807", "9223372036854775806", true},
        {"+9223372036854775807", "9223372036854775806", true},
        {"9223372036854775808", "1", false},
        {"+9223372036854775808", "1", false},
        {"-9223372036854775807", "-9223372036854775808", true},
        {"-9223372036854775808", "-9223372036854775807", false},
        {"-9223372036854775809", "-1", true},
        // Pieces that are no plain decimal integer are worth 0.
        {"+-1", "-1", true},
        {"-+1", "-1", true},
        {"-", "-1", true},
        {"+", "-1", true},
        {"2 ", "1", false},
        {"0x10", "1", false},
        {"1e3", "1", false},
        {"\xD9\xA2", "1", false}, // ARABIC-INDIC DIGIT TWO
        {"1", "\xD9\xA2", true},
        {"1.\xEF\xBC\x92", "1.1", false}, // FULLWIDTH DIGIT TWO
    };
    for (const Comparison& row : table) {
        EXPECT_EQ(isVersion(row.candidate, row.current), row.newer)
            << "candidate \"" << row.candidate << "\", current \"" << row.current << '"';
    }
}

TEST(VersionComparison, LooksAtEveryComponentOfLongVersions) {
    std::string base = "1";
    for (int i = 0; i < 5000; ++i)
        base += ".1";

    EXPECT_TRUE(isVersion(base + ".2", base + ".1"));
    EXPECT_FALSE(isVersion(base + ".1", base + ".2"));
    EXPECT_FALSE(isVersion(base + ".0.0", base));
    EXPECT_TRUE(isVersion(base + ".0.1", base));
}

} // namespace
} // namespace orvia
