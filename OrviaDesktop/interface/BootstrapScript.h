#pragma once

#include <string>
#include <string_view>

namespace orvia {

// The script that hands the page its kiosk identity before any of the page's own scripts run.
std::string bootstrapScript(std::string_view memberID);

// The text as the body of a single-quoted JavaScript string literal that evaluates to exactly
// the same text.
std::string escapedForSingleQuotedJavaScript(std::string_view text);

} // namespace orvia
