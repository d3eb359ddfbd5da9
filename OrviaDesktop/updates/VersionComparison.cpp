#include "updates/VersionComparison.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace orvia {

namespace {

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

std::int64_t componentValue(std::string_view piece) {
    std::string_view digits = piece;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
        digits.remove_prefix(1);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return 0;
    // from_chars takes a minus sign but not a plus sign.
    const std::string_view number = piece.front() == '+' ? digits : piece;
    std::int64_t value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    return result.ec == std::errc() ? value : 0;
}

// Splits at the byte '.', even where a combining mark follows it; versions in use are plain ASCII.
std::vector<std::int64_t> components(std::string_view version) {
    std::vector<std::int64_t> values;
    while (!version.empty()) {
        auto stop = version.find('.');
        auto piece = version.substr(0, stop);
        if (!piece.empty())
            values.push_back(componentValue(piece));
        version.remove_prefix(stop == std::string_view::npos ? version.size() : stop + 1);
    }
    return values;
}

} // namespace

bool isVersion(std::string_view candidate, std::string_view newerThan) {
    std::vector<std::int64_t> left = components(candidate);
    std::vector<std::int64_t> right = components(newerThan);
    // Padding with zeros turns the comparison into a lexicographic one decided at the first difference.
    const std::size_t length = std::max(left.size(), right.size());
    left.resize(length);
    right.resize(length);
    return left > right;
}

} // namespace orvia
