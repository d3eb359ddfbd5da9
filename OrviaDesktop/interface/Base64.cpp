#include "interface/Base64.h"

#include <cstdint>

namespace orvia {

std::string base64Encoded(std::string_view bytes) {
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();

    std::string text((size + 2) / 3 * 4, '=');
    char* out = text.data();
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        std::uint32_t group =
            (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) | data[i + 2];
        *out++ = alphabet[group >> 18];
        *out++ = alphabet[(group >> 12) & 0x3F];
        *out++ = alphabet[(group >> 6) & 0x3F];
        *out++ = alphabet[group & 0x3F];
    }
    if (std::size_t rest = size - i; rest > 0) {
        std::uint32_t group = std::uint32_t{data[i]} << 16;
        if (rest == 2)
            group |= std::uint32_t{data[i + 1]} << 8;
        *out++ = alphabet[group >> 18];
        *out++ = alphabet[(group >> 12) & 0x3F];
        if (rest == 2)
            *out = alphabet[(group >> 6) & 0x3F];
    }
    return text;
}

} // namespace orvia
