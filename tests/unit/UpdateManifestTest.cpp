#include "updates/OrviaDesktopUpdateManifest.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace orvia {

void PrintTo(const Release& release, std::ostream* out) {
    *out << "{version \"" << release.version << "\", downloadURL \"" << release.downloadURL << "\", notes \""
         << release.notes << "\"}";
}

namespace {

struct RejectedBody {
    const char* what;
    std::string body;
};

TEST(UpdateManifest, RejectsBodiesThatAreNoCompleteManifest) {
    const RejectedBody table[] = {
        {"HTML error page", "<html><body><h1>502 Bad Gateway</h1></body></html>"},
        {"empty body", ""},
        {"white space", " \n"},
        {"top-level array", R"([{"macOS": {"version": "1", "downloadURL": "u", "notes": "n"}}])"},
        {"top-level string", R"("macOS")"},
        {"truncated", R"({"macOS": {"version": "1", "downloadURL": "u", "notes": "n"})"},
        {"trailing text", R"({"macOS": {"version": "1", "downloadURL": "u", "notes": "n"}} x)"},
        {"comment", R"({"macOS": {"version": "1", "downloadURL": "u", "notes": "n"} /* c */})"},
        {"no macOS", R"({"windows": {"version": "1", "downloadURL": "u", "notes": "n"}})"},
        {"macOS null", R"({"macOS": null})"},
        {"macOS array", R"({"macOS": [{"version": "1", "downloadURL": "u", "notes": "n"}]})"},
        {"macOS string", R"({"macOS": "1.4.0"})"},
        {"name macos", R"({"macos": {"version": "1", "downloadURL": "u", "notes": "n"}})"},
        {"no version", R"({"macOS": {"downloadURL": "u", "notes": "n"}})"},
        {"no downloadURL", R"({"macOS": {"version": "1", "notes": "n"}})"},
        {"no notes", R"({"macOS": {"version": "1", "downloadURL": "u"}})"},
        {"name downloadUrl", R"({"macOS": {"version": "1", "downloadUrl": "u", "notes": "n"}})"},
        {"version number", R"({"macOS": {"version": 1.2, "downloadURL": "u", "notes": "n"}})"},
        {"downloadURL true", R"({"macOS": {"version": "1", "downloadURL": true, "notes": "n"}})"},
        {"downloadURL object", R"({"macOS": {"version": "1", "downloadURL": {}, "notes": "n"}})"},
        {"notes null", R"({"macOS": {"version": "1", "downloadURL": "u", "notes": null}})"},
        {"notes array", R"({"macOS": {"version": "1", "downloadURL": "u", "notes": ["n"]}})"},
        {"invalid UTF-8 in a value",
         "{\"macOS\": {\"version\": \"1\", \"downloadURL\": \"u\", \"notes\": \"\xC3\x28\"}}"},
        {"invalid UTF-8 in a name",
         "{\"macOS\": {\"version\": \"1\", \"downloadURL\": \"u\", \"notes\": \"n\", \"\xFF\": 1}}"},
        {"lone surrogate escape", R"({"macOS": {"version": "1", "downloadURL": "u", "notes": "\ud800"}})"},
        {"NUL byte",
         std::string(R"({"macOS": {"version": "1", "downloadURL": "u", "notes": "n)") + '\0' + R"("}})"},
    };
    for (const RejectedBody& row : table)
        EXPECT_FALSE(decodeUpdateManifest(row.body).has_value()) << row.what;
}

struct DecodedBody {
    const char* what;
    std::string body;
    Release expected;
};

TEST(UpdateManifest, DecodesTheThreeTextsExactlyAsSent) {
    const DecodedBody table[] = {
        {"minimal",
         R"({"macOS": {"version": "1.4.0", "downloadURL": "https://example.org/Orvia.dmg", "notes": "Faster."}})",
         {"1.4.0", "https://example.org/Orvia.dmg", "Faster."}},
        {"empty texts", R"({"macOS": {"version": "", "downloadURL": "", "notes": ""}})", {"", "", ""}},
        {"members in another order",
         R"({"macOS": {"notes": "n", "version": "2", "downloadURL": "u"}})",
         {"2", "u", "n"}},
        {"extra members and a second platform",
         R"({"linux": {"version": "9"}, "schema": 2, "macOS": {"version": "1.5", "size": 12, "sha256": null,
             "downloadURL": "u", "notes": "n", "channels": ["beta"]}, "extra": {"macOS": []}})",
         {"1.5", "u", "n"}},
        {"downloadURL no URL",
         R"({"macOS": {"version": "1", "downloadURL": "not a url at all", "notes": "n"}})",
         {"1", "not a url at all", "n"}},
        {"escapes resolved, white space kept",
         R"({"macOS": {"version": " v1.4 ", "downloadURL": "https:\/\/example.org\/a b",
             "notes": "Caf\u00e9 \"new\"\n\t\ud83d\ude00"}})",
         {" v1.4 ", "https://example.org/a b", "Caf\xC3\xA9 \"new\"\n\t\xF0\x9F\x98\x80"}},
        {"duplicate names, the last counts",
         R"({"macOS": {"version": "1", "downloadURL": "u", "notes": "n"},
             "macOS": {"version": "2", "downloadURL": "v", "notes": "m", "notes": "last"}})",
         {"2", "v", "last"}},
        {"deeply nested extra member",
         R"({"macOS": {"version": "1", "downloadURL": "u", "notes": "n"}, "deep": )" +
             std::string(100000, '[') + std::string(100000, ']') + "}",
         {"1", "u", "n"}},
    };
    for (const DecodedBody& row : table) {
        const auto manifest = decodeUpdateManifest(row.body);
        ASSERT_TRUE(manifest.has_value()) << row.what;
        EXPECT_EQ(manifest->macOS, row.expected) << row.what;
    }
}

} // namespace
} // namespace orvia
