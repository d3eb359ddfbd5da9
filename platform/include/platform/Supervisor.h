#pragma once

#include <chrono>
#include <optional>

namespace platform {

// How a supervised process ended.
struct ProcessEnd {
    enum class Cause { Exit, Signal };
    Cause cause;
    // The exit status, or the number of the signal that ended the process.
    int code;

    bool operator==(const ProcessEnd&) const = default;
};

// Whether and when the supervisor starts the program again.
class RestartPolicy {
public:
    using Seconds = std::chrono::duration<double>;
    virtual ~RestartPolicy() = default;
    // The supervised process ended at now, on a monotonic clock: how long to wait before starting
    // it again, or nothing to end the supervision.
    virtual std::optional<Seconds> restartDelay(const ProcessEnd& end, Seconds now) = 0;
};

// The program's side, first thing in main, before the program starts anything else. In the
// program its supervisor started, returns at once. Otherwise this process becomes the supervisor
// (exec of the supervisor's executable, which lies beside the program's), and the supervisor starts
// the program anew as its child. Where there is no supervisor, or no display to show the program
// on, returns, and the program runs unsupervised.
void enterSupervision();

// The supervisor's side, in a program of its own that links no toolkit: starts program, an
// absolute path, as a child without arguments, waits, and starts it again whenever the policy
// asks. The child never outlives the supervisor; it, not the supervisor, is the kernel's first
// choice when memory runs out; and every signal whose default action ends it does end it.
// Returns the status for the supervisor to exit with, the last child's (128 plus the signal number
// for a signal), once the policy ends the supervision or the display goes away: the session is
// over, and a child still running is sent SIGTERM first. SIGTERM, SIGHUP or SIGINT to the
// supervisor is passed on to the child, and once the child has ended the supervisor ends by the
// same signal.
int superviseProgram(const char* program, RestartPolicy& policy);

} // namespace platform
