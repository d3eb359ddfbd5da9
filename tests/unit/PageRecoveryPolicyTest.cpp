#include "interface/PageRecoveryPolicy.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using orvia::PageRecoveryPolicy;

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
