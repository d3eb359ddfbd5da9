#include "interface/Base64.h"

#include <gtest/gtest.h>

using orvia::base64Encoded;

TEST(Base64, MatchesTheTestVectorsOfRfc4648) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [bytes, text] : vectors)
        EXPECT_EQ(base64Encoded(bytes), text) << bytes;
}

TEST(Base64, UsesTheStandardAlphabetForEveryByteValueWithoutLineBreaks) {
    EXPECT_EQ(base64Encoded(std::string("\xfb\xff\xbf", 3)), "+/+/");
    EXPECT_EQ(base64Encoded(std::string("\x00\x00\x00", 3)), "AAAA");
    EXPECT_EQ(base64Encoded(std::string("\x00", 1)), "AA==");

    std::string every;
    for (int byte = 0; byte < 256; ++byte)
        every += static_cast<char>(byte);
    auto text = base64Encoded(every + every);
    EXPECT_EQ(text.size(), 684u);
    EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);
    EXPECT_EQ(text.substr(0, 12), "AAECAwQFBgcI");
    EXPECT_EQ(text.substr(text.size() - 8), "+/z9/v8=");
}
