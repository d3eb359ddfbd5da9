#pragma once

#include <chrono>
#include <functional>

namespace platform {

// The main thread's queue.
class MainQueue {
public:
    using Task = std::function<void()>;
    virtual ~MainQueue() = default;
    // Safe to call from any thread; the task runs on the main thread.
    virtual void async(Task task) = 0;
    // Runs the task on the main thread after the delay, measured on the monotonic clock.
    virtual void asyncAfter(std::chrono::duration<double> delay, Task task) = 0;
    // The monotonic clock that delays are measured on, from an arbitrary origin. Main thread.
    virtual std::chrono::duration<double> uptime() const = 0;
};

} // namespace platform
