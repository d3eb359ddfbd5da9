#include "interface/Base64.h"
#include "interface/BootstrapScript.h"
#include "interface/UTF8.h"

#include <gtest/gtest.h>

TEST(Base64, MatchesTheTestVectorsOfRfc4648InTheStandardAlphabetWithoutLineBreaks) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"foo", "Zm9v"},
        {"foobar", "Zm9vYmFy"},
        {std::string("\xfb\xff\xbf", 3), "+/+/"},
        {std::string("\x00", 1), "AA=="},
        {std::string(60, '\0'), std::string(80, 'A')},
    };
    for (const auto& [bytes, text] : vectors)
        EXPECT_EQ(orvia::base64Encoded(bytes), text) << testing::PrintToString(bytes);
}

TEST(UTF8, AcceptsWellFormedTextAndRejectsEveryIllFormedSequence) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {std::string("nul\0inside", 10), true},
        {"\xc3\xa9t\xc3\xa9", true}, // é
        {"\xe2\x80\xa8", true},      // U+2028
        {"\xf0\x9f\x98\x80", true},  // U+1F600
        {"\xf4\x8f\xbf\xbf", true},  // U+10FFFF
        {"\xed\x9f\xbf", true},      // U+D7FF, just below the surrogates
        {"\xee\x80\x80", true},      // U+E000, just above them
        {"\x80", false},             // lone continuation byte
        {"\xc3", false},             // truncated at the end
        {"\xc3(", false},            // continuation missing
        {"\xc0\xaf", false},         // overlong "/"
        {"\xe0\x80\xaf", false},     // overlong in three bytes
        {"\xf0\x80\x80\xaf", false}, // overlong in four bytes
        {"\xed\xa0\x80", false},     // surrogate U+D800
        {"\xed\xbf\xbf", false},     // surrogate U+DFFF
        {"\xf4\x90\x80\x80", false}, // above U+10FFFF
        {"\xe2\x80", false},         // truncated three-byte sequence
        {"ok\xe2\x28\xa1", false},   // bad second continuation
        {"\xf0\x9f\x98", false},     // truncated four-byte sequence
    };
    for (const auto& [bytes, valid] : cases)
        EXPECT_EQ(orvia::isValidUTF8(bytes), valid) << testing::PrintToString(bytes);
}

TEST(BootstrapScript, EscapesEverythingThatCouldEndTheLiteralOrTheLine) {
    struct Case {
        std::string stored;
        std::string literal;
    };
    const Case cases[] = {
        {"it's", "it\\'s"},
        {"back\\slash", "back\\\\slash"},
        {"line\nbreak", "line\\nbreak"},
        {"carriage\rreturn", "carriage\\rreturn"},
        {"separator\u2028here", "separator\\u2028here"},
        {"paragraph\u2029here", "paragraph\\u2029here"},
        {"at the end\u2029", "at the end\\u2029"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"tab\tand\x7f", "tab\\x09and\\x7f"},
        {"'; alert(1); '", "\\'; alert(1); \\'"},
        {"\xc3\xa9t\xc3\xa9 \xe2\x82\xac", "\xc3\xa9t\xc3\xa9 \xe2\x82\xac"},
        {"\x1f\x20~", "\\x1f ~"},
    };
    for (const auto& [stored, literal] : cases)
        EXPECT_EQ(orvia::escapedForSingleQuotedJavaScript(stored), literal) << stored;
}
