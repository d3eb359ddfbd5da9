#include "WebContentProcessMemory.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::gtk {

namespace {

// The kernel keeps the first 15 characters of "WebKitWebProcess".
constexpr std::string_view processName = "WebKitWebProces";

// A file of /proc/<pid>, whole or its first 4 KiB, which hold what is read here; empty on failure.
// Plain system calls: a search reads two hundred of them.
std::string_view procFile(pid_t process, const char* name, std::array<char, 4096>& buffer) {
    const std::string path = "/proc/" + std::to_string(process) + "/" + name;
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return {};
    const auto size = ::read(file, buffer.data(), buffer.size());
    ::close(file);
    return size > 0 ? std::string_view(buffer.data(), static_cast<std::size_t>(size)) : std::string_view();
}

// The first number in the text ("\t   5120 kB" gives 5120).
std::optional<std::uint64_t> number(std::string_view text) {
    const auto start = text.find_first_of("0123456789");
    std::uint64_t value = 0;
    if (start == std::string_view::npos ||
        std::from_chars(text.data() + start, text.data() + text.size(), value).ec != std::errc())
        return std::nullopt;
    return value;
}

// The value of a "Label:\tvalue" line of /proc/<pid>/status.
std::optional<std::string_view> field(std::string_view status, std::string_view label) {
    for (std::size_t start = 0; start < status.size();) {
        auto end = status.find('\n', start);
        if (end == std::string_view::npos)
            end = status.size();
        const auto line = status.substr(start, end - start);
        if (line.size() > label.size() && line.starts_with(label) && line[label.size()] == ':')
            return line.substr(label.size() + 1);
        start = end + 1;
    }
    return std::nullopt;
}

// Bytes of anonymous memory of the process, resident or swapped, while it is a web content process.
std::optional<std::uint64_t> anonymousMemory(pid_t process) {
    std::array<char, 4096> buffer;
    const auto status = procFile(process, "status", buffer);
    const auto name = field(status, "Name");
    const auto resident = field(status, "RssAnon");
    if (!name || *name != "\t" + std::string(processName) || !resident || !number(*resident))
        return std::nullopt;
    const auto swapped = field(status, "VmSwap");
    return (*number(*resident) + (swapped ? number(*swapped).value_or(0) : 0)) * 1024;
}

// The web content process among this program's children, or below the bubblewrap sandbox it runs
// in: a program that a link opened (a browser on WebKit, say) may have web processes of its own.
// Each process's name and parent come from /proc/<pid>/stat ("pid (name) state ppid ...", where the
// name may itself hold spaces and parentheses).
std::optional<pid_t> findWebContentProcess() {
    struct Process {
        pid_t id;
        pid_t parent;
        std::string name;
    };
    std::vector<Process> processes;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return std::nullopt;
    std::array<char, 4096> buffer;
    while (const dirent* entry = ::readdir(proc)) {
        const std::string_view id = entry->d_name;
        pid_t process = 0;
        if (std::from_chars(id.data(), id.data() + id.size(), process).ec != std::errc())
            continue;
        const auto stat = procFile(process, "stat", buffer);
        const auto open = stat.find('(');
        const auto close = stat.rfind(')');
        if (open == std::string_view::npos || close == std::string_view::npos || close < open)
            continue;
        if (const auto parent = number(stat.substr(close + 1)))
            processes.push_back(
                {process, static_cast<pid_t>(*parent), std::string(stat.substr(open + 1, close - open - 1))});
    }
    ::closedir(proc);
    std::vector<pid_t> searched{::getpid()};
    for (std::size_t next = 0; next < searched.size(); ++next)
        for (const auto& process : processes)
            if (process.parent == searched[next]) {
                if (process.name == processName)
                    return process.id;
                if (process.name == "bwrap")
                    searched.push_back(process.id);
            }
    return std::nullopt;
}

} // namespace

std::optional<std::uint64_t> WebContentProcessMemory::read() {
    if (std::exchange(searchPending_, false))
        process_ = findWebContentProcess();
    if (!process_)
        return std::nullopt;
    const auto memory = anonymousMemory(*process_);
    if (!memory)
        process_.reset();
    return memory;
}

} // namespace platform::gtk
