#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace platform {

struct HttpGet {
    std::string url;
    // A PEM file of the certificate authorities to trust instead of the system's store; empty: the
    // system's store.
    std::string certificateAuthorityFile;
};

// Plain GET requests over HTTPS, for small documents. Every request is held to the same rules,
// which no caller can loosen: certificate and host name verification always on; https only, for the
// address and for every redirect (a redirect to any other scheme fails); at most maximumRedirects
// redirects; a body larger than maximumBodySize fails as soon as it grows past it; connecting may
// take connectTimeout and the whole request totalTimeout, after which it fails.
class Http {
public:
    // The body of the final response, whatever its status code, or nothing when the request failed.
    using Completion = std::function<void(std::optional<std::string> body)>;

    static constexpr std::size_t maximumBodySize = 1024 * 1024;
    static constexpr std::chrono::seconds connectTimeout{10};
    static constexpr std::chrono::seconds totalTimeout{30};
    static constexpr long maximumRedirects = 5;

    virtual ~Http() = default;
    // Main thread; returns at once. The completion runs exactly once, on a worker thread (never the
    // main thread), so it must hand anything touching the program's state to the main queue.
    virtual void get(const HttpGet& request, Completion completion) = 0;
};

} // namespace platform
