#pragma once

#include "platform/Http.h"

#include <atomic>
#include <list>
#include <thread>

namespace platform::gtk {

// Each request on a thread of its own with a libcurl easy handle. The rules of the contract are set
// on every handle; none can be loosened by a caller.
class CurlHttp final : public Http {
public:
    CurlHttp();
    // Aborts the requests still running and waits for their threads; their completions run without a body.
    ~CurlHttp() override;

    void get(const HttpGet& request, Completion completion) override;

private:
    struct Worker {
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void joinFinishedWorkers();

    std::atomic<bool> stopping_{false};
    // Main thread only; a list, so that a running worker's entry never moves.
    std::list<Worker> workers_;
};

} // namespace platform::gtk
