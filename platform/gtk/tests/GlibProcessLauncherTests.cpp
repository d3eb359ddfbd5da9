#include "GlibProcessLauncher.h"

#include <gtest/gtest.h>

namespace platform::gtk {
namespace {

TEST(GlibProcessLauncherTest,
     AnswersTheExitStatusInTheInheritedEnvironmentOrNothingWhenTheProgramCannotStart) {
    const std::pair<std::vector<std::string>, std::optional<int>> cases[] = {
        {{"/bin/sh", "-c", "exit 0"}, 0},
        {{"/bin/sh", "-c", "exit 1"}, 1},
        {{"/bin/sh", "-c", "kill -TERM $$"}, 128 + 15},
        // The environment is inherited, and the launcher waits to the end.
        {{"/bin/sh", "-c", "sleep 0.2; exit \"$ORVIA_LAUNCHER_TEST\""}, 7},
        // Named by path only: no search of PATH.
        {{"sh", "-c", "exit 0"}, std::nullopt},
        {{"/nonexistent/program"}, std::nullopt},
        {{}, std::nullopt},
    };
    ::setenv("ORVIA_LAUNCHER_TEST", "7", 1);
    GlibProcessLauncher launcher;
    for (const auto& [arguments, outcome] : cases)
        EXPECT_EQ(launcher.runAndWait(arguments), outcome) << (arguments.empty() ? "" : arguments.back());
}

} // namespace
} // namespace platform::gtk
