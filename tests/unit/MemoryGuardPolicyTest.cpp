#include "interface/MemoryGuardPolicy.h"
#include "fake/FakePlatform.h"
#include "interface/MemoryLimits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using orvia::MemoryGuardPolicy;

namespace {

constexpr std::uint64_t budget = 100;
constexpr std::uint64_t ceiling = 200;
constexpr double grace = MemoryGuardPolicy::releaseGrace.count();
constexpr double quiet = MemoryGuardPolicy::quietAfter.count();

// A reading at a time of the clock, with what the policy must answer. A new process may start
// before it.
struct Step {
    double at;
    std::optional<std::uint64_t> memory;
    bool collapsed = true;
    std::optional<double> lastUse = std::nullopt;
    bool reload = false;
    bool newProcess = false;
};

} // namespace

TEST(MemoryGuardPolicy, ReloadsPastTheCeilingAtOnceAndAboveTheBudgetWhenTheEngineHadItsTimeAndNobodyUsesIt) {
    const std::vector<std::pair<std::string, std::vector<Step>>> cases = {
        {"at the budget nothing happens", {{0, budget}, {grace, budget}, {10 * grace, budget}}},
        {"past the ceiling at once, even while in use", {{0, ceiling}, {2, ceiling + 1, false, 1.0, true}}},
        {"collapsed above the budget once the engine had its time",
         {{0, budget + 1}, {grace - 1, ceiling}, {grace, budget + 1, true, std::nullopt, true}}},
        {"in use above the budget waits until nobody used it for a while",
         {{0, budget + 1, false, 0.0},
          {grace, budget + 1, false, grace - 10},
          {grace - 10 + quiet - 1, budget + 1, false, grace - 10},
          {grace - 10 + quiet, budget + 1, false, grace - 10, true}}},
        {"expanded and never used counts as quiet",
         {{0, budget + 1, false}, {grace, budget + 1, false, {}, true}}},
        {"a reading under the budget or none starts the time again",
         {{0, budget + 1},
          {20, budget},
          {30, budget + 1},
          {50, std::nullopt},
          {60, budget + 1},
          {60 + grace - 1, budget + 1},
          {60 + grace, budget + 1, true, {}, true}}},
        {"a new process is judged afresh",
         {{0, budget + 1}, {grace - 1, budget + 1}, {grace, budget + 1, true, {}, false, true}}},
    };
    for (const auto& [name, steps] : cases) {
        MemoryGuardPolicy policy({budget, ceiling});
        for (const auto& step : steps) {
            if (step.newProcess)
                policy.processEnded();
            std::optional<MemoryGuardPolicy::Seconds> lastUse;
            if (step.lastUse)
                lastUse = MemoryGuardPolicy::Seconds(*step.lastUse);
            EXPECT_EQ(policy.shouldReload({step.memory, step.collapsed, lastUse},
                                          MemoryGuardPolicy::Seconds(step.at)),
                      step.reload)
                << name << ": reading at " << step.at;
        }
    }
}

TEST(MemoryGuardPolicy, OperatorLimitsAreTakenWhereTheyMakeSense) {
    constexpr std::uint64_t mb = 1024 * 1024;
    const std::vector<std::tuple<std::string, nlohmann::json, nlohmann::json, std::uint64_t, std::uint64_t>>
        cases = {
            {"none: a 4 GB kiosk's", nullptr, nullptr, 1024, 1536},
            {"both", 300, 600, 300, 600},
            {"fractions of a megabyte dropped", 300.7, 600.2, 300, 600},
            {"the budget alone", 512, nullptr, 512, 1536},
            {"the least allowed", 256, nullptr, 256, 1536},
            {"a ceiling under the default budget", nullptr, 900, 600, 900},
            {"a budget not under the ceiling", 700, 700, 466, 700},
            {"text or too small", "800", 10, 1024, 1536},
            {"negative or absurd", -5, 1e30, 1024, 1536},
        };
    for (const auto& [name, budget, ceiling, expectedBudget, expectedCeiling] : cases) {
        fake::FakePlatform os;
        if (!budget.is_null())
            os.defaults.setObject(orvia::memoryBudgetKey, budget);
        if (!ceiling.is_null())
            os.defaults.setObject(orvia::memoryCeilingKey, ceiling);
        const auto limits = orvia::memoryLimits(os.defaults);
        EXPECT_EQ(limits.budget, expectedBudget * mb) << name;
        EXPECT_EQ(limits.ceiling, expectedCeiling * mb) << name;
    }
}
