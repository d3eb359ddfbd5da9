#include "interface/UTF8.h"

namespace orvia {

bool isValidUTF8(std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        unsigned char lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The range of the first continuation byte narrows for the leads that could otherwise
        // start an overlong form, a surrogate or a code point above U+10FFFF.
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (size - i < length || data[i + 1] < low || data[i + 1] > high)
            return false;
        for (std::size_t k = 2; k < length; ++k)
            if (data[i + k] < 0x80 || data[i + k] > 0xBF)
                return false;
        i += length;
    }
    return true;
}

} // namespace orvia
