#include "fake/FakeHttp.h"

#include <stdexcept>
#include <thread>

namespace fake {

void FakeHttp::get(const platform::HttpGet& request, Completion completion) {
    m_log.add("http.get " + request.url +
              (request.certificateAuthorityFile.empty() ? "" : " ca=" + request.certificateAuthorityFile));
    m_requests.push_back({request, std::move(completion)});
}

void FakeHttp::complete(std::size_t index, std::string body) {
    if (body.size() > maximumBodySize)
        finish(index, std::nullopt);
    else
        finish(index, std::move(body));
}

void FakeHttp::fail(std::size_t index) {
    finish(index, std::nullopt);
}

void FakeHttp::finish(std::size_t index, std::optional<std::string> body) {
    if (index >= m_requests.size() || !m_requests[index].completion)
        throw std::logic_error("no pending request #" + std::to_string(index));
    // Taken out first: a completion runs once.
    Completion completion = std::move(m_requests[index].completion);
    m_requests[index].completion = nullptr;
    std::thread worker(std::move(completion), std::move(body));
    worker.join();
}

} // namespace fake
