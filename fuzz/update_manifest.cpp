#include "updates/OrviaDesktopUpdateManifest.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto manifest = orvia::decodeUpdateManifest({reinterpret_cast<const char*>(data), size});
    if (manifest && manifest->macOS.version.size() > size)
        __builtin_trap();
    return 0;
}
