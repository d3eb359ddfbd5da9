#include "updates/VersionComparison.h"

#include <gtest/gtest.h>

#include <string>

namespace orvia {
namespace {

// Odder pieces (spaces, signs alone, other digits, very long versions) are the fuzz target's seeds.
TEST(VersionComparison, DecidesAtTheFirstDifferingComponent) {
    const std::tuple<std::string, std::string, bool> table[] = {
        {"1.10", "1.9", true},
        {"1.0.1", "1.0", true},
        {"2.0", "1.99.99", true},
        {"1.2.3", "1.2.3", false},
        {"1.2a", "1.2", false},
        {"1.2", "1.2a", true},
        {"v2.0", "1.0", false},
        {"2.0.0-beta", "1.9", true},
        {"1..2", "1.1", true},
        {"", "0", false},
        {"+2", "1", true},
        {"007", "6", true},
        // A negative component ranks below a missing one.
        {"1.0.-1", "1", false},
        {"1", "1.0.-1", true},
        // The ends of the signed 64-bit range, and one past them, which are worth 0 and not clamped.
        {"9223372036854775807", "9223372036854775806", true},
        {"+9223372036854775808", "1", false},
        {"-9223372036854775807", "-9223372036854775808", true},
        {"-9223372036854775809", "-1", true},
        {"\xD9\xA2", "1", false}, // ARABIC-INDIC DIGIT TWO
    };
    for (const auto& [candidate, current, newer] : table)
        EXPECT_EQ(isVersion(candidate, current), newer)
            << "candidate \"" << candidate << "\", current \"" << current << '"';
}

} // namespace
} // namespace orvia
