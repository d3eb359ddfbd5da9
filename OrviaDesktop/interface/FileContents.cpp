#include "interface/FileContents.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvia {

std::optional<std::string> contentsOfFile(const std::filesystem::path& path) {
    // Only regular files: opened without blocking, so that a FIFO in a resource's place is refused
    // instead of waiting for a writer.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return std::nullopt;
    }
    std::string contents;
    contents.reserve(static_cast<std::size_t>(status.st_size));
    char chunk[65536];
    bool failed = false;
    for (;;) {
        auto count = ::read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            failed = count < 0;
            break;
        }
        contents.append(chunk, static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    if (failed)
        return std::nullopt;
    return contents;
}

} // namespace orvia
