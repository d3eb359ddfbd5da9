#include "CurlHttp.h"

#include "CallbackGuard.h"

#include <curl/curl.h>

namespace platform::gtk {

namespace {

struct Transfer {
    std::string body;
    const std::atomic<bool>& stopping;
};

// Returning less than was given makes libcurl fail the transfer, which stops reading at once.
size_t receive(char* data, size_t size, size_t count, void* transfer) {
    auto& into = static_cast<Transfer*>(transfer)->body;
    const size_t length = size * count;
    if (length > Http::maximumBodySize - into.size())
        return 0;
    into.append(data, length);
    return length;
}

int progress(void* transfer, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(transfer)->stopping.load() ? 1 : 0;
}

std::optional<std::string> fetch(const HttpGet& request, const std::atomic<bool>& stopping) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), &curl_easy_cleanup);
    if (!handle)
        return std::nullopt;
    CURL* curl = handle.get();
    Transfer transfer{{}, stopping};
    const long connectMilliseconds = std::chrono::milliseconds(Http::connectTimeout).count();
    const long totalMilliseconds = std::chrono::milliseconds(Http::totalTimeout).count();

    bool configured = curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str()) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https") == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https") == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_MAXREDIRS, Http::maximumRedirects) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connectMilliseconds) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, totalMilliseconds) == CURLE_OK &&
                      // A declared length over the limit fails before any of the body is read.
                      curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                                       static_cast<curl_off_t>(Http::maximumBodySize)) == CURLE_OK &&
                      // Signals would be the process's to handle, and time-outs must work off the
                      // main thread.
                      curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &receive) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &progress) == CURLE_OK &&
                      curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer) == CURLE_OK;
    if (configured && !request.certificateAuthorityFile.empty())
        configured =
            curl_easy_setopt(curl, CURLOPT_CAINFO, request.certificateAuthorityFile.c_str()) == CURLE_OK;
    if (!configured || curl_easy_perform(curl) != CURLE_OK)
        return std::nullopt;
    return std::move(transfer.body);
}

} // namespace

CurlHttp::CurlHttp() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlHttp::~CurlHttp() {
    stopping_.store(true);
    for (auto& worker : workers_)
        worker.thread.join();
    curl_global_cleanup();
}

void CurlHttp::get(const HttpGet& request, Completion completion) {
    joinFinishedWorkers();
    Worker& worker = workers_.emplace_back();
    try {
        worker.thread = std::thread([this, &worker, request, completion = std::move(completion)] {
            callFromC([&] { completion(fetch(request, stopping_)); });
            worker.finished.store(true);
        });
    } catch (...) {
        workers_.pop_back();
        throw;
    }
}

void CurlHttp::joinFinishedWorkers() {
    for (auto worker = workers_.begin(); worker != workers_.end();) {
        if (worker->finished.load()) {
            worker->thread.join();
            worker = workers_.erase(worker);
        } else {
            ++worker;
        }
    }
}

} // namespace platform::gtk
