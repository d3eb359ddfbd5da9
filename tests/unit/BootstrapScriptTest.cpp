#include "interface/BootstrapScript.h"

#include <gtest/gtest.h>

using orvia::bootstrapScript;
using orvia::escapedForSingleQuotedJavaScript;

TEST(BootstrapScript, IdentifiersTheProgramMakesGoInVerbatim) {
    EXPECT_EQ(bootstrapScript("orvia-kiosk-0f8e2a4c-1b2d-4e3f-9a8b-7c6d5e4f3a2b"),
              "window.ORVIA_MEMBER_ID = 'orvia-kiosk-0f8e2a4c-1b2d-4e3f-9a8b-7c6d5e4f3a2b'; window.ORVIA_KIOSK = true;");
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
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"tab\tand\x7f", "tab\\x09and\\x7f"},
        {"'; alert(1); '", "\\'; alert(1); \\'"},
        {"\xc3\xa9t\xc3\xa9 \xe2\x82\xac", "\xc3\xa9t\xc3\xa9 \xe2\x82\xac"},
        {"\"double\" quotes", "\"double\" quotes"},
    };
    for (const auto& [stored, literal] : cases)
        EXPECT_EQ(escapedForSingleQuotedJavaScript(stored), literal) << stored;
}
