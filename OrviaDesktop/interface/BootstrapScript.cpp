#include "interface/BootstrapScript.h"

#include <cstdio>

namespace orvia {

std::string escapedForSingleQuotedJavaScript(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        // U+2028 and U+2029 end a line inside a JavaScript string literal in older engines.
        if (byte == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(text[i + 2]) == 0xA8 || static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
            escaped += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 2;
            continue;
        }
        switch (byte) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\'':
            escaped += "\\'";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                char code[8];
                std::snprintf(code, sizeof code, "\\x%02x", byte);
                escaped += code;
            } else {
                escaped += static_cast<char>(byte);
            }
        }
    }
    return escaped;
}

std::string bootstrapScript(std::string_view memberID) {
    return "window.ORVIA_MEMBER_ID = '" + escapedForSingleQuotedJavaScript(memberID) +
           "'; window.ORVIA_KIOSK = true;";
}

} // namespace orvia
