#pragma once

#include "fake/Log.h"
#include "platform/Http.h"

#include <vector>

namespace fake {

// The network, played by the test: requests are logged ("http.get <url>") and stay pending until the
// test answers them by their number, in the order they were started.
class FakeHttp final : public platform::Http {
public:
    explicit FakeHttp(Log& log) : m_log(log) {}

    void get(const platform::HttpGet& request, Completion completion) override;

    // The server answers with this body, whatever its status. As on the desktop, a body larger than
    // maximumBodySize arrives as a failure. The completion runs on a thread of its own, as on the
    // desktop, and has finished when these return.
    void complete(std::size_t index, std::string body);
    // No body: the server is down, the certificate is refused, the time-out passed.
    void fail(std::size_t index);

    std::size_t requestCount() const { return m_requests.size(); }
    const platform::HttpGet& request(std::size_t index) const { return m_requests.at(index).get; }

private:
    void finish(std::size_t index, std::optional<std::string> body);

    struct Pending {
        platform::HttpGet get;
        Completion completion;
    };
    Log& m_log;
    std::vector<Pending> m_requests;
};

} // namespace fake
