#include "updates/VersionComparison.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Splits the input in two at the first NUL and checks that the order is strict, and that a version
// followed by one more component is newer when that component is 1 and the same when it is 0.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto split = input.find('\0');
    auto a = input.substr(0, split);
    auto b = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    if (orvia::isVersion(a, b) && orvia::isVersion(b, a))
        __builtin_trap();
    if (orvia::isVersion(a, a))
        __builtin_trap();
    const std::string longer(a);
    if (!orvia::isVersion(longer + ".1", a) || orvia::isVersion(longer + ".0", a) ||
        orvia::isVersion(a, longer + ".0"))
        __builtin_trap();
    return 0;
}
