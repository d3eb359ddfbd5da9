#include "GlibMainQueue.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <optional>

namespace platform::gtk {
namespace {

// GLib counts timeouts in whole milliseconds: a part of one must not be dropped.
TEST(GlibMainQueueTest, ADelayedTaskNeverRunsEarlyOnTheQueuesOwnClock) {
    GlibMainQueue queue;
    for (const double delay : {0.0004, 0.0015}) {
        const auto asked = queue.uptime();
        std::optional<std::chrono::duration<double>> ranAt;
        queue.asyncAfter(std::chrono::duration<double>(delay), [&] { ranAt = queue.uptime(); });
        while (!ranAt)
            g_main_context_iteration(nullptr, TRUE);
        EXPECT_GE((*ranAt - asked).count(), delay) << delay;
    }
}

} // namespace
} // namespace platform::gtk
