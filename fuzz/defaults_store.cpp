#include "files/JsonFileUserDefaults.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// Any stored file, then one change: reading leaves the file alone, the change lands, the other keys
// survive, and a file that could not be read is kept aside byte for byte.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto folder =
        std::filesystem::temp_directory_path() / ("orvia-fuzz-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto file = folder / "defaults.json";
    const std::string stored(reinterpret_cast<const char*>(data), size);
    std::ofstream(file, std::ios::binary) << stored;

    auto before = nlohmann::json::parse(stored, nullptr, false);
    {
        platform::files::JsonFileUserDefaults defaults(file);
        if (before.is_object() && before.contains("memberID") &&
            defaults.objectForKey("memberID") != before["memberID"])
            __builtin_trap();
        // Reading alone leaves the file as it was.
        if (readFile(file) != stored)
            __builtin_trap();
        defaults.setObject("memberID", "fuzz");
    }
    platform::files::JsonFileUserDefaults reread(file);
    if (reread.objectForKey("memberID") != nlohmann::json("fuzz"))
        __builtin_trap();
    if (before.is_object()) {
        for (const auto& [key, value] : before.items())
            if (key != "memberID" && reread.objectForKey(key) != value)
                __builtin_trap();
    } else {
        auto aside = file;
        aside += ".corrupt";
        if (readFile(aside) != stored)
            __builtin_trap();
    }
    return 0;
}
