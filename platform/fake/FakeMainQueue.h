#pragma once

#include "platform/MainQueue.h"

#include <mutex>
#include <vector>

namespace fake {

// A main queue on a virtual clock: nothing runs until the test advances it.
class FakeMainQueue final : public platform::MainQueue {
public:
    void async(Task task) override;
    void asyncAfter(std::chrono::duration<double> delay, Task task) override;
    std::chrono::duration<double> uptime() const override { return std::chrono::duration<double>(now()); }

    // Moves the clock forward, running every task that falls due, in due order.
    void advance(std::chrono::duration<double> interval);
    // Runs the tasks due now, including those they queue.
    void drain() { advance(std::chrono::duration<double>::zero()); }
    double now() const;
    std::size_t pendingCount() const;

private:
    struct Entry {
        double due;
        std::uint64_t sequence;
        Task task;
    };
    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    double m_now = 0;
    std::uint64_t m_nextSequence = 0;
};

} // namespace fake
