#pragma once

#include <jsc/jsc.h>
#include <nlohmann/json.hpp>

namespace platform::gtk {

// The page's value as a neutral JSON value. What JSON cannot express (undefined, functions,
// cycles) becomes null; the page's engine types never reach the program.
nlohmann::json scriptMessageBody(JSCValue* value);

} // namespace platform::gtk
