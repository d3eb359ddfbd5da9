#pragma once

#include "platform/UserDefaults.h"
#include "platform/WebView.h"

namespace orvia {

// An operator's limits for the web content process, in megabytes: a number in the user defaults.
inline constexpr const char* memoryBudgetKey = "OrviaDesktopMemoryBudgetMB";
inline constexpr const char* memoryCeilingKey = "OrviaDesktopMemoryCeilingMB";

// The operator's limits where they make sense, else those for a kiosk with 4 GB of memory.
platform::WebContentMemoryLimits memoryLimits(const platform::UserDefaults& defaults);

} // namespace orvia
