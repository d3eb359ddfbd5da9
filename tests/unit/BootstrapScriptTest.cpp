#include "interface/BootstrapScript.h"
#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gtest/gtest.h>

using orvia::bootstrapScript;
using orvia::escapedForSingleQuotedJavaScript;

TEST(BootstrapScript, IdentifiersTheProgramMakesGoInVerbatim) {
    EXPECT_EQ(bootstrapScript("orvia-kiosk-0f8e2a4c-1b2d-4e3f-9a8b-7c6d5e4f3a2b"),
              "window.ORVIA_MEMBER_ID = 'orvia-kiosk-0f8e2a4c-1b2d-4e3f-9a8b-7c6d5e4f3a2b'; "
              "window.ORVIA_KIOSK = true;");
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

namespace {

std::string utf8(char32_t codePoint) {
    std::string out;
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return out;
}

// What a JavaScript engine makes of the body of a single-quoted string literal; nothing when the
// body would end the literal early or break the line (U+2028 and U+2029 did in engines before
// ES2019).
std::optional<std::string> evaluateSingleQuotedLiteral(std::string_view body) {
    std::string value;
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '\'' || c == '\n' || c == '\r' || body.substr(i, 3) == "\u2028" ||
            body.substr(i, 3) == "\u2029")
            return std::nullopt;
        if (c != '\\') {
            value += c;
            continue;
        }
        if (++i == body.size())
            return std::nullopt;
        auto hex = [&](std::size_t digits) -> std::optional<char32_t> {
            auto text = std::string(body.substr(i + 1, digits));
            if (text.size() != digits ||
                text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return std::nullopt;
            i += digits;
            return static_cast<char32_t>(std::stoul(text, nullptr, 16));
        };
        switch (body[i]) {
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case 't':
            value += '\t';
            break;
        case 'b':
            value += '\b';
            break;
        case 'f':
            value += '\f';
            break;
        case 'v':
            value += '\v';
            break;
        case 'x':
        case 'u': {
            auto codePoint = hex(body[i] == 'x' ? 2 : 4);
            if (!codePoint)
                return std::nullopt;
            value += utf8(*codePoint);
            break;
        }
        default:
            value += body[i];
        }
    }
    return value;
}

} // namespace

TEST(BootstrapScript, TheStoredIdentifierReachesThePageExactlyWhateverItHolds) {
    const std::string prefix = "window.ORVIA_MEMBER_ID = '";
    const std::string suffix = "'; window.ORVIA_KIOSK = true;";
    std::vector<std::string> stored = {
        "it's",
        "back\\slash\\",
        "two\nlines\r\n",
        "line\u2028separator\u2029paragraph",
        "'; window.ORVIA_KIOSK = false; '",
        "\\'; alert(1); //",
        "caf\xc3\xa9 \xf0\x9f\x98\x80",
        "</script><script>alert(1)</script>",
    };
    std::string everyAscii;
    for (int byte = 0; byte < 0x80; ++byte)
        everyAscii += static_cast<char>(byte);
    stored.push_back(everyAscii);

    for (const auto& identifier : stored) {
        fake::FakePlatform os;
        os.defaults.setObject("OrviaDesktopGuestMemberID", identifier);
        orvia::OrviaWindowController controller(os);
        auto& content = dynamic_cast<fake::FakeUserContentController&>(
            *os.webView()->configuration().userContentController);
        const auto& script = content.userScripts().at(0).source;

        ASSERT_TRUE(script.starts_with(prefix) && script.ends_with(suffix)) << script;
        auto body =
            std::string_view(script).substr(prefix.size(), script.size() - prefix.size() - suffix.size());
        EXPECT_EQ(evaluateSingleQuotedLiteral(body), identifier) << script;
    }
}
