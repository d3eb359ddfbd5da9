#include "fake/FakePlatform.h"
#include "interface/MemoryGuardPolicy.h"
#include "interface/MemoryLimits.h"
#include "interface/PageRecoveryPolicy.h"
#include "interface/PageRequest.h"

#include <gtest/gtest.h>

#include <sstream>

using nlohmann::json;
using orvia::MemoryGuardPolicy;
using orvia::PageRecoveryPolicy;
using orvia::pageRequestFromMessage;

// Bodies that are no object with one of the three names are the fuzz target's seeds.
TEST(PageRequest, TheThreeRequestsAreRecognisedAndAnOpenExternalWithoutAWebLinkIsIgnored) {
    EXPECT_EQ(pageRequestFromMessage({{"type", "minimize"}}), orvia::PageRequest{orvia::CollapseRequest{}});
    EXPECT_EQ(pageRequestFromMessage({{"type", "wake"}, {"extra", {1, 2}}}),
              orvia::PageRequest{orvia::WakeRequest{}});
    for (const char* url : {"https://orvia.ai/help?q=1#top", "http://user@example.com:8080"})
        EXPECT_EQ(pageRequestFromMessage({{"type", "openExternal"}, {"url", url}}),
                  orvia::PageRequest{orvia::OpenExternalRequest{url}});

    std::vector<json> ignored = {
        {{"type", "openExternal"}},
        {{"type", "openExternal"}, {"url", 5}},
        {{"type", "openExternal"}, {"url", {{"href", "https://orvia.ai"}}}},
    };
    for (const char* url : {"/help", "orvia.ai/help", "file:///etc/passwd", "mailto:help@orvia.ai",
                            "javascript:alert(1)", "HTTPS://orvia.ai", "ftp://orvia.ai", "https:orvia.ai",
                            "https://", "https:// orvia.ai", "https://orvia.ai/a b", "https://orvia.ai/%zz",
                            "https://orvia.ai/\n", "https://ORVIA.\xc3\xa9", "https://:443/", ""})
        ignored.push_back({{"type", "openExternal"}, {"url", url}});
    for (const auto& body : ignored)
        EXPECT_EQ(pageRequestFromMessage(body), std::nullopt) << body.dump();
}

namespace {

constexpr std::uint64_t budget = 100;
constexpr std::uint64_t ceiling = 200;
constexpr double grace = MemoryGuardPolicy::releaseGrace.count();
constexpr double quiet = MemoryGuardPolicy::quietAfter.count();

// A reading at a time of the clock, with what the policy must answer.
struct Step {
    double at;
    std::optional<std::uint64_t> memory;
    bool collapsed = true;
    std::optional<double> lastUse = std::nullopt;
    bool reload = false;
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
    };
    for (const auto& [name, steps] : cases) {
        MemoryGuardPolicy policy({budget, ceiling});
        for (const auto& step : steps) {
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
            {"the budget alone, the least allowed", 256, nullptr, 256, 1536},
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

TEST(PageRecoveryPolicy, DelaysFollowTheBoundAndRecoveryResetsThem) {
    // Events on the policy's clock, in seconds: "t5" the page's process ended at 5 and is loaded again
    // at once, "t5c" after the calm retry's delay; "f5" a load finished at 5.
    const std::pair<const char*, const char*> cases[] = {
        {"five at once, then calm for as long as the page keeps dying", "t0 t1 t2 t3 t4 t5c t35c t65c t500c"},
        {"deaths spread wider than the window stay immediate", "t0 t20 t40 t60 t80 t100 t120"},
        {"a reload leaves the window exactly sixty seconds later", "t0 t1 t2 t3 t4 t60 t60.5c"},
        {"a page that finished loading but died at once has not recovered", "t0 t1 t2 t3 t4 f5 t14.9c"},
        {"a page that stayed up resets the count, once", "t0 t1 t2 t3 t4 t5c f40 t50 t51 t52 t53 t54 t55c"},
        {"a long-lived page that dies now and then always comes back at once",
         "f0 t3600 f3601 t7200 f7201 t7211"},
    };
    for (const auto& [name, events] : cases) {
        PageRecoveryPolicy policy;
        std::istringstream in(events);
        for (std::string event; in >> event;) {
            const bool calm = event.back() == 'c';
            const PageRecoveryPolicy::Seconds at{std::stod(event.substr(1))};
            if (event[0] == 'f')
                policy.didFinishLoad(at);
            else
                EXPECT_EQ(policy.reloadDelayAfterTermination(at),
                          calm ? PageRecoveryPolicy::calmRetryDelay : PageRecoveryPolicy::Seconds(0))
                    << name << ": " << event;
        }
    }
}
