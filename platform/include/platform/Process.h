#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// Runs other programs.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Runs arguments[0], an absolute path, with the rest as its arguments, and waits for it on the
    // calling thread; the event loop does not run meanwhile. The program inherits the environment,
    // the working folder and the standard streams. Returns its exit status (128 plus the signal
    // number when a signal ended it), or nothing when it could not be started.
    virtual std::optional<int> runAndWait(const std::vector<std::string>& arguments) = 0;
};

} // namespace platform
