#include "interface/WebLink.h"

#include <algorithm>
#include <array>

namespace orvia {

namespace {

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool isURLCharacter(char c) {
    static constexpr std::string_view punctuation = "-._~:/?#[]@!$&'()*+,;=%";
    return isAlpha(c) || isDigit(c) || punctuation.find(c) != std::string_view::npos;
}

bool hasWellFormedEscapes(std::string_view url) {
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] != '%')
            continue;
        if (i + 2 >= url.size() || !isHexDigit(url[i + 1]) || !isHexDigit(url[i + 2]))
            return false;
        i += 2;
    }
    return true;
}

} // namespace

std::optional<std::string> urlScheme(std::string_view url) {
    if (url.empty() || !std::all_of(url.begin(), url.end(), isURLCharacter) || !hasWellFormedEscapes(url))
        return std::nullopt;
    auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isAlpha(url[0]))
        return std::nullopt;
    auto scheme = url.substr(0, colon);
    auto isSchemeCharacter = [](char c) { return isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.'; };
    if (!std::all_of(scheme.begin(), scheme.end(), isSchemeCharacter))
        return std::nullopt;
    return std::string(scheme);
}

bool isWebLink(std::string_view url) {
    auto scheme = urlScheme(url);
    if (!scheme || (*scheme != "https" && *scheme != "http"))
        return false;
    auto rest = url.substr(scheme->size() + 1);
    if (!rest.starts_with("//"))
        return false;
    auto authority = rest.substr(2, rest.find_first_of("/?#", 2) - 2);
    auto host = authority.substr(authority.rfind('@') == std::string_view::npos ? 0 : authority.rfind('@') + 1);
    return !host.empty() && host[0] != ':';
}

} // namespace orvia
