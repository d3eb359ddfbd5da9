#pragma once

#include <jsc/jsc.h>
#include <nlohmann/json.hpp>

#include <cstddef>

namespace platform::gtk {

struct ScriptMessageBody {
    nlohmann::json value;
    // Size of the JSON text the value was read from: what converting it cost the heap.
    std::size_t textBytes = 0;
};

// No message the program answers comes near this (a web address over 128 KiB cannot even be handed
// to a browser), while turning a page's megabytes of JSON into a value held the main thread for a
// second: larger bodies become null unread.
inline constexpr std::size_t maximumMessageBytes = 256 * 1024;

// The page's value as a neutral JSON value. What JSON cannot express (undefined, functions,
// cycles) becomes null, and so does a body larger than maximumMessageBytes; the page's engine types
// never reach the program.
ScriptMessageBody scriptMessageBody(JSCValue* value);

} // namespace platform::gtk
