#include "interface/PageRecoveryPolicy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using orvia::PageRecoveryPolicy;

namespace {

// One event at a time on the policy's clock: a finished load, or a termination with the reload
// delay it must get.
struct Event {
    enum Kind { Finish, Terminate } kind;
    double at;
    double expectedDelay = 0;
};

struct Case {
    std::string name;
    std::vector<Event> events;
};

constexpr double calm = PageRecoveryPolicy::calmRetryDelay.count();

} // namespace

TEST(PageRecoveryPolicy, DelaysFollowTheBoundAndRecoveryResetsThem) {
    const std::vector<Case> cases = {
        {"five at once, then calm for as long as the page keeps dying",
         {{Event::Terminate, 0},
          {Event::Terminate, 1},
          {Event::Terminate, 2},
          {Event::Terminate, 3},
          {Event::Terminate, 4},
          {Event::Terminate, 5, calm},
          {Event::Terminate, 35, calm},
          {Event::Terminate, 65, calm},
          {Event::Terminate, 500, calm}}},
        {"deaths spread wider than the window stay immediate",
         {{Event::Terminate, 0},
          {Event::Terminate, 20},
          {Event::Terminate, 40},
          {Event::Terminate, 60},
          {Event::Terminate, 80},
          {Event::Terminate, 100},
          {Event::Terminate, 120}}},
        {"a reload leaves the window exactly sixty seconds later",
         {{Event::Terminate, 0},
          {Event::Terminate, 1},
          {Event::Terminate, 2},
          {Event::Terminate, 3},
          {Event::Terminate, 4},
          {Event::Terminate, 60},
          {Event::Terminate, 60.5, calm}}},
        {"a page that finished loading but died at once has not recovered",
         {{Event::Terminate, 0},
          {Event::Terminate, 1},
          {Event::Terminate, 2},
          {Event::Terminate, 3},
          {Event::Terminate, 4},
          {Event::Finish, 5},
          {Event::Terminate, 14.9, calm}}},
        {"a page that stayed up resets the count, once",
         {{Event::Terminate, 0},
          {Event::Terminate, 1},
          {Event::Terminate, 2},
          {Event::Terminate, 3},
          {Event::Terminate, 4},
          {Event::Terminate, 5, calm},
          {Event::Finish, 40},
          {Event::Terminate, 50},
          {Event::Terminate, 51},
          {Event::Terminate, 52},
          {Event::Terminate, 53},
          {Event::Terminate, 54},
          {Event::Terminate, 55, calm}}},
        {"a long-lived page that dies now and then always comes back at once",
         {{Event::Finish, 0},
          {Event::Terminate, 3600},
          {Event::Finish, 3601},
          {Event::Terminate, 7200},
          {Event::Finish, 7201},
          {Event::Terminate, 7211}}},
    };
    for (const auto& [name, events] : cases) {
        PageRecoveryPolicy policy;
        for (const auto& event : events) {
            const PageRecoveryPolicy::Seconds at{event.at};
            if (event.kind == Event::Finish) {
                policy.didFinishLoad(at);
                continue;
            }
            EXPECT_EQ(policy.reloadDelayAfterTermination(at).count(), event.expectedDelay)
                << name << ": termination at " << event.at;
        }
    }
}
