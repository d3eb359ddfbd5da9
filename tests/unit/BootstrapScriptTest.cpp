#include "interface/BootstrapScript.h"

#include <gtest/gtest.h>

using orvia::escapedForSingleQuotedJavaScript;

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
        {"\"double\" quotes", "\"double\" quotes"},
        {"</script><script>", "</script><script>"},
        {"\x1f\x20~", "\\x1f ~"},
    };
    for (const auto& [stored, literal] : cases)
        EXPECT_EQ(escapedForSingleQuotedJavaScript(stored), literal) << stored;
}
