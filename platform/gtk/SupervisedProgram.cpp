#include "platform/Supervisor.h"

#include "DisplayConnection.h"
#include "SupervisorMark.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace platform {

namespace {

bool startedBySupervisor() {
    const char* supervisor = std::getenv(gtk::supervisorMarkVariable);
    const bool supervised = supervisor && std::to_string(getppid()) == supervisor;
    unsetenv(gtk::supervisorMarkVariable);
    return supervised;
}

// WebKit's JavaScriptCore takes SIGSEGV and SIGBUS for faults of its own, and on one it does not
// claim it restores the default action and returns, counting on the fault to happen again: a
// signal sent with kill() is lost there, and the process lives on. A handler in place before its
// own is called instead, and ends the process by the default action. (WTF::jscSignalHandler in
// Source/WTF/wtf/threads/Signals.cpp; remove once that raises again a signal it does not claim.)
void keepFaultSignalsFatal() {
    struct sigaction action {};
    action.sa_sigaction = [](int signal, siginfo_t*, void*) {
        std::signal(signal, SIG_DFL);
        raise(signal);
    };
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO;
    for (int signal : {SIGSEGV, SIGBUS})
        sigaction(signal, &action, nullptr);
}

} // namespace

void enterSupervision() {
    if (startedBySupervisor()) {
        keepFaultSignalsFatal();
        return;
    }
    std::error_code failed;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed)
        return;
    const auto supervisor = program.parent_path() / ORVIA_SUPERVISOR_NAME;
    if (access(supervisor.c_str(), X_OK) != 0 || !gtk::DisplayConnection().isOpen())
        return;
    execl(supervisor.c_str(), supervisor.c_str(), program.c_str(), static_cast<char*>(nullptr));
}

} // namespace platform
