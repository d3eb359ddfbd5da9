#include "app/KioskRestartPolicy.h"
#include "resource_bundle_accessor/ResourceBundleAccessor.h"

#include <gtest/gtest.h>

#include <csignal>

using orvia::KioskRestartPolicy;
using platform::ProcessEnd;
using Seconds = KioskRestartPolicy::Seconds;

namespace {

constexpr ProcessEnd crash{ProcessEnd::Cause::Signal, SIGSEGV};

} // namespace

TEST(KioskRestartPolicy, AnEndTheProgramChoseIsFinalAndEveryOtherComesBack) {
    const struct {
        ProcessEnd end;
        bool restarts;
    } cases[] = {
        {{ProcessEnd::Cause::Exit, 0}, false},
        {{ProcessEnd::Cause::Exit, orvia::missingResourceBundleExitStatus}, false},
        {{ProcessEnd::Cause::Exit, 1}, true},
        {crash, true},
        {{ProcessEnd::Cause::Signal, SIGKILL}, true},
        {{ProcessEnd::Cause::Signal, SIGTERM}, true},
    };
    for (const auto& [end, restarts] : cases) {
        const auto atOnce = restarts ? std::optional(Seconds::zero()) : std::nullopt;
        EXPECT_EQ(KioskRestartPolicy().restartDelay(end, Seconds(100)), atOnce)
            << "cause " << static_cast<int>(end.cause) << " code " << end.code;
    }
}

// At most five restarts plus one a minute over any span of time.
TEST(KioskRestartPolicy, FiveQuickRestartsThenOneAMinuteUntilTheKioskStaysUp) {
    // Crash times, each with the wait before the restart it must get.
    const struct {
        double at;
        double delay;
    } crashes[] = {
        {0, 0},    {1, 0},    {2, 0},    {3, 0},    {4, 0},    {5, 55},   {61, 59},
        {121, 59}, {1000, 0}, {1001, 0}, {1002, 0}, {1003, 0}, {1004, 0}, {1005, 55},
    };
    KioskRestartPolicy policy;
    for (const auto& [at, delay] : crashes)
        EXPECT_EQ(policy.restartDelay(crash, Seconds(at)), Seconds(delay)) << "crash at " << at;
}
