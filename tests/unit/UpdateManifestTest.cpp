#include "updates/OrviaDesktopUpdateManifest.h"
#include "updates/VersionComparison.h"

#include <gtest/gtest.h>

#include <string>

namespace orvia {
namespace {

// Bodies that are no JSON at all, or no valid UTF-8, are the fuzz target's seeds.
TEST(UpdateManifest, RejectsBodiesThatAreNoCompleteManifestAndDecodesTheThreeTextsExactlyAsSent) {
    const char* bodies[] = {
        R"([{"macOS": {"version": "1", "downloadURL": "u", "notes": "n"}}])",
        R"({"macOS": null})",
        R"({"macOS": "1.4.0"})",
        R"({"macos": {"version": "1", "downloadURL": "u", "notes": "n"}})",
        R"({"macOS": {"downloadURL": "u", "notes": "n"}})",
        R"({"macOS": {"version": "1", "notes": "n"}})",
        R"({"macOS": {"version": "1", "downloadURL": "u"}})",
        R"({"macOS": {"version": "1", "downloadUrl": "u", "notes": "n"}})",
        R"({"macOS": {"version": 1.2, "downloadURL": "u", "notes": "n"}})",
        R"({"macOS": {"version": "1", "downloadURL": true, "notes": "n"}})",
        R"({"macOS": {"version": "1", "downloadURL": "u", "notes": null}})",
        R"({"macOS": {"version": "1", "downloadURL": "u", "notes": ["n"]}})",
    };
    for (const char* body : bodies)
        EXPECT_FALSE(decodeUpdateManifest(body).has_value()) << body;

    const std::tuple<const char*, std::string, Release> table[] = {
        {"minimal",
         R"({"macOS": {"version": "1.4.0", "downloadURL": "https://example.org/Orvia.dmg", "notes": "Faster."}})",
         {"1.4.0", "https://example.org/Orvia.dmg", "Faster."}},
        {"empty texts", R"({"macOS": {"version": "", "downloadURL": "", "notes": ""}})", {"", "", ""}},
        {"extra members and a second platform",
         R"({"linux": {"version": "9"}, "schema": 2, "macOS": {"version": "1.5", "size": 12, "sha256": null,
             "downloadURL": "u", "notes": "n", "channels": ["beta"]}, "extra": {"macOS": []}})",
         {"1.5", "u", "n"}},
        {"escapes resolved, white space kept",
         R"({"macOS": {"version": " v1.4 ", "downloadURL": "https:\/\/example.org\/a b",
             "notes": "Caf\u00e9 \"new\"\n\t\ud83d\ude00"}})",
         {" v1.4 ", "https://example.org/a b", "Caf\xC3\xA9 \"new\"\n\t\xF0\x9F\x98\x80"}},
    };
    for (const auto& [what, body, expected] : table) {
        const auto manifest = decodeUpdateManifest(body);
        ASSERT_TRUE(manifest.has_value()) << what;
        EXPECT_EQ(manifest->macOS, expected) << what;
    }
}

// Odder pieces (spaces, signs alone, other digits, very long versions) are the fuzz target's seeds, and
// an equal version or one with a component more are its checks.
TEST(VersionComparison, DecidesAtTheFirstDifferingComponent) {
    const std::tuple<std::string, std::string, bool> table[] = {
        {"1.10", "1.9", true},
        {"2.0", "1.99.99", true},
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
