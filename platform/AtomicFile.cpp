#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool writeAll(int descriptor, std::string_view contents) {
    while (!contents.empty()) {
        auto written = ::write(descriptor, contents.data(), contents.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents) {
    auto temporary = path;
    temporary += ".XXXXXX";
    std::string pattern = temporary.string();
    int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0)
        return false;
    // mkstemp makes the file private; the result should read like any other file of the user's.
    ::fchmod(descriptor, 0644);
    bool written = writeAll(descriptor, contents) && ::fsync(descriptor) == 0;
    written = ::close(descriptor) == 0 && written;
    if (!written || std::rename(pattern.c_str(), path.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    // Make the rename itself durable.
    if (int folder = ::open(path.parent_path().empty() ? "." : path.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
        folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace platform
