#include "interface/MemoryLimits.h"

namespace orvia {

namespace {

constexpr std::uint64_t megabyte = 1024 * 1024;
// For a kiosk with 4 GB. The shipped page's process holds about 60 MB, the assistant's own page will
// hold more; one above 1 GB has leaked, and is loaded again at the next quiet moment. Up to 1.5 GB,
// and the few hundred megabytes a runaway page can take before the next reading, the rest of the
// machine keeps about 2 GB; beyond that it would soon swap or kill.
constexpr std::uint64_t defaultBudget = 1024;
constexpr std::uint64_t defaultCeiling = 1536;
// Less is taken for a slip: hardly more than a page's own process needs.
constexpr double smallest = 256;
constexpr double largest = 1024 * 1024;

std::uint64_t megabytes(const platform::UserDefaults& defaults, const char* key, std::uint64_t fallback) {
    const auto value = defaults.objectForKey(key);
    if (!value || !value->is_number() ||
        !(value->get<double>() >= smallest && value->get<double>() <= largest))
        return fallback;
    return static_cast<std::uint64_t>(value->get<double>());
}

} // namespace

platform::WebContentMemoryLimits memoryLimits(const platform::UserDefaults& defaults) {
    const auto ceiling = megabytes(defaults, memoryCeilingKey, defaultCeiling);
    auto budget = megabytes(defaults, memoryBudgetKey, defaultBudget);
    // A budget at or above the ceiling would never come first: it keeps the defaults' proportion.
    if (budget >= ceiling)
        budget = ceiling * defaultBudget / defaultCeiling;
    return {budget * megabyte, ceiling * megabyte};
}

} // namespace orvia
