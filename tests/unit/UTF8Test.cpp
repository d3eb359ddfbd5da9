#include "interface/UTF8.h"

#include <gtest/gtest.h>

using orvia::isValidUTF8;

TEST(UTF8, AcceptsWellFormedTextAndRejectsEveryIllFormedSequence) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"plain <html>", true},
        {std::string("nul\0inside", 10), true},
        {"\xc3\xa9t\xc3\xa9", true}, // é
        {"\xe2\x80\xa8", true},      // U+2028
        {"\xef\xbf\xbd", true},      // U+FFFD
        {"\xf0\x9f\x98\x80", true},  // U+1F600
        {"\xf4\x8f\xbf\xbf", true},  // U+10FFFF
        {"\xed\x9f\xbf", true},      // U+D7FF, just below the surrogates
        {"\xee\x80\x80", true},      // U+E000, just above them
        {"\x80", false},             // lone continuation byte
        {"\xc3", false},             // truncated at the end
        {"\xc3(", false},            // continuation missing
        {"\xc0\xaf", false},         // overlong "/"
        {"\xc1\xbf", false},         // overlong
        {"\xe0\x80\xaf", false},     // overlong in three bytes
        {"\xf0\x80\x80\xaf", false}, // overlong in four bytes
        {"\xed\xa0\x80", false},     // surrogate U+D800
        {"\xed\xbf\xbf", false},     // surrogate U+DFFF
        {"\xf4\x90\x80\x80", false}, // above U+10FFFF
        {"\xf5\x80\x80\x80", false},
        {"\xff", false},
        {"\xe2\x80", false},       // truncated three-byte sequence
        {"ok\xe2\x28\xa1", false}, // bad second continuation
        {"\xf0\x9f\x98", false},   // truncated four-byte sequence
        {"\xf0\x9f\x98\x28", false},
        {"\xfe\xfe\xff\xff", false},
        {"latin-1 caf\xe9", false},
    };
    for (const auto& [bytes, valid] : cases)
        EXPECT_EQ(isValidUTF8(bytes), valid) << testing::PrintToString(bytes);
}
