#include "GlibProcessLauncher.h"

#include <glib.h>
#include <sys/wait.h>

namespace platform::gtk {

std::optional<int> GlibProcessLauncher::runAndWait(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return std::nullopt;
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // No search path: the program is named by its path. Standard output and error are inherited
    // because no pipe is asked for; descriptors beyond those are closed in the child.
    int waitStatus = 0;
    GError* error = nullptr;
    if (!g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_CHILD_INHERITS_STDIN, nullptr, nullptr, nullptr,
                      nullptr, &waitStatus, &error)) {
        g_clear_error(&error);
        return std::nullopt;
    }
    if (WIFEXITED(waitStatus))
        return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus))
        return 128 + WTERMSIG(waitStatus);
    return std::nullopt;
}

} // namespace platform::gtk
