#include "interface/BootstrapScript.h"
#include "interface/FileURL.h"
#include "interface/UTF8.h"

#include <gtest/gtest.h>

TEST(UTF8, AcceptsWellFormedTextAndRejectsEveryIllFormedSequence) {
    const std::pair<std::string, bool> cases[] = {
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
    const std::pair<std::string, std::string> cases[] = {
        {"it's", "it\\'s"},
        {"back\\slash", "back\\\\slash"},
        {"line\nbreak", "line\\nbreak"},
        {"carriage\rreturn", "carriage\\rreturn"},
        {"separator\u2028here", "separator\\u2028here"},
        {"paragraph\u2029here", "paragraph\\u2029here"},
        {"at the end\u2029", "at the end\\u2029"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"tab\tand\x7f", "tab\\x09and\\x7f"},
        {"\xc3\xa9t\xc3\xa9 \xe2\x82\xac", "\xc3\xa9t\xc3\xa9 \xe2\x82\xac"},
        {"\x1f\x20~", "\\x1f ~"},
    };
    for (const auto& [stored, literal] : cases)
        EXPECT_EQ(orvia::escapedForSingleQuotedJavaScript(stored), literal) << stored;
}

TEST(FileURL, IsAbsoluteEndsInASlashAndEncodesWhatAURLPathCannotHold) {
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {"/opt/orvia/Resources", "file:///opt/orvia/Resources/"},
        {"/opt/orvia/Resources/", "file:///opt/orvia/Resources/"},
        {"/", "file:///"},
        {"/opt/./orvia/../kiosk", "file:///opt/kiosk/"},
        {"/my kiosk/#1?x=%20", "file:///my%20kiosk/%231%3Fx=%2520/"},
        {"/caf\xc3\xa9/\"quoted\"", "file:///caf%C3%A9/%22quoted%22/"},
        {"/a/b;c,d@e+f~g", "file:///a/b;c,d@e+f~g/"},
    };
    for (const auto& [folder, url] : cases)
        EXPECT_EQ(orvia::fileURLForFolder(folder), url) << folder;

    EXPECT_EQ(orvia::fileURLForFolder("relative/folder"),
              "file://" + std::filesystem::current_path().string() + "/relative/folder/");
}
