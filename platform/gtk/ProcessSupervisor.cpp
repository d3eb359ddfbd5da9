#include "platform/Supervisor.h"

#include "DisplayConnection.h"
#include "SupervisorMark.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {

namespace {

using Seconds = RestartPolicy::Seconds;

// Raised without privilege, so that when memory runs out the kernel ends the supervised program,
// which comes back, before the supervisor, which brings it back, or another process as large.
constexpr char supervisedOomScoreAdjustment[] = "300";

// What a program that could not be started at all ends with, as a shell has it.
constexpr int notStartedStatus = 127;

Seconds monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Seconds(static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9);
}

ProcessEnd processEnd(int waitStatus) {
    if (WIFSIGNALED(waitStatus))
        return {ProcessEnd::Cause::Signal, WTERMSIG(waitStatus)};
    return {ProcessEnd::Cause::Exit, WEXITSTATUS(waitStatus)};
}

int exitStatus(const ProcessEnd& end) {
    return end.cause == ProcessEnd::Cause::Exit ? end.code : 128 + end.code;
}

int waitForEnd(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

struct Event {
    enum class Kind { ChildEnded, StopRequested, DisplayGone, TimedOut };
    Kind kind;
    // The child's wait status, or the signal that asks the supervisor to stop.
    int value = 0;
};

// The signals the supervisor waits for are blocked and read from a descriptor instead, so that
// none comes between looking and waiting. A child starts with the mask and the environment the
// supervisor was given, and the mark.
class Supervision {
public:
    explicit Supervision(const char* program) : program_(program), supervisor_(getpid()) {
        const std::string mark = std::string(gtk::supervisorMarkVariable) + "=";
        for (char** variable = environ; *variable; ++variable)
            if (std::strncmp(*variable, mark.c_str(), mark.size()) != 0)
                environment_.emplace_back(*variable);
        environment_.push_back(mark + std::to_string(supervisor_));
        for (auto& variable : environment_)
            environmentPointers_.push_back(variable.data());
        environmentPointers_.push_back(nullptr);

        sigemptyset(&watched_);
        for (int signal : {SIGCHLD, SIGTERM, SIGHUP, SIGINT})
            sigaddset(&watched_, signal);
        sigprocmask(SIG_BLOCK, &watched_, &original_);
        signals_ = signalfd(-1, &watched_, SFD_NONBLOCK | SFD_CLOEXEC);
    }

    Supervision(const Supervision&) = delete;
    Supervision& operator=(const Supervision&) = delete;

    bool ready() const { return signals_ >= 0; }

    // The new child's id, or -1 when no process could be made.
    pid_t start() {
        const pid_t child = fork();
        if (child != 0)
            return child;
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != supervisor_)
            raise(SIGKILL);
        if (const int score = open("/proc/self/oom_score_adj", O_WRONLY | O_CLOEXEC); score >= 0) {
            [[maybe_unused]] const auto written =
                write(score, supervisedOomScoreAdjustment, sizeof supervisedOomScoreAdjustment - 1);
            close(score);
        }
        sigprocmask(SIG_SETMASK, &original_, nullptr);
        char* const arguments[] = {const_cast<char*>(program_), nullptr};
        execve(program_, arguments, environmentPointers_.data());
        _exit(notStartedStatus);
    }

    // Waits for the child to end (when there is one), a stop request, the display to go away, or
    // the timeout. A stop request comes first, whatever else happened meanwhile.
    Event next(gtk::DisplayConnection& display, pid_t child, std::optional<Seconds> timeout) {
        const Seconds deadline = timeout ? monotonicNow() + *timeout : Seconds::max();
        for (;;) {
            int stop = 0;
            signalfd_siginfo received{};
            while (read(signals_, &received, sizeof received) == sizeof received)
                if (received.ssi_signo != SIGCHLD)
                    stop = static_cast<int>(received.ssi_signo);
            if (stop)
                return {Event::Kind::StopRequested, stop};
            int status = 0;
            if (child > 0 && waitpid(child, &status, WNOHANG) == child)
                return {Event::Kind::ChildEnded, status};
            if (!display.isOpen())
                return {Event::Kind::DisplayGone};
            int waitMilliseconds = -1;
            if (timeout) {
                const Seconds left = deadline - monotonicNow();
                if (left <= Seconds::zero())
                    return {Event::Kind::TimedOut};
                waitMilliseconds = static_cast<int>(std::ceil(left.count() * 1000));
            }
            pollfd descriptors[] = {{signals_, POLLIN, 0}, {display.fileDescriptor(), POLLIN, 0}};
            poll(descriptors, 2, waitMilliseconds);
        }
    }

    // Passes the request on, and once the child has ended, ends this process by the same signal.
    int stop(int signal, pid_t child) {
        if (child > 0) {
            kill(child, signal);
            waitForEnd(child);
        }
        sigprocmask(SIG_SETMASK, &original_, nullptr);
        std::signal(signal, SIG_DFL);
        raise(signal);
        return 128 + signal;
    }

private:
    const char* program_;
    pid_t supervisor_;
    std::vector<std::string> environment_;
    std::vector<char*> environmentPointers_;
    sigset_t watched_{};
    sigset_t original_{};
    int signals_ = -1;
};

} // namespace

int superviseProgram(const char* program, RestartPolicy& policy) {
    Supervision supervision(program);
    if (!supervision.ready())
        return EXIT_FAILURE;
    for (;;) {
        // Forked while the supervisor holds no display connection, so the child inherits none.
        const pid_t child = supervision.start();
        ProcessEnd end{ProcessEnd::Cause::Exit, notStartedStatus};
        gtk::DisplayConnection display;
        if (child > 0) {
            const Event event = supervision.next(display, child, std::nullopt);
            if (event.kind == Event::Kind::StopRequested)
                return supervision.stop(event.value, child);
            if (event.kind == Event::Kind::DisplayGone) {
                kill(child, SIGTERM);
                return exitStatus(processEnd(waitForEnd(child)));
            }
            end = processEnd(event.value);
        }
        const auto delay = policy.restartDelay(end, monotonicNow());
        if (!delay)
            return exitStatus(end);
        const Event pause = supervision.next(display, 0, *delay);
        if (pause.kind == Event::Kind::StopRequested)
            return supervision.stop(pause.value, 0);
        if (pause.kind == Event::Kind::DisplayGone)
            return exitStatus(end);
    }
}

} // namespace platform
