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

// The page's value as a neutral JSON value. What JSON cannot express (undefined, functions,
// cycles) becomes null; the page's engine types never reach the program.
ScriptMessageBody scriptMessageBody(JSCValue* value);

} // namespace platform::gtk
