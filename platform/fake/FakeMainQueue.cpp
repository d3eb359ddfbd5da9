#include "fake/FakeMainQueue.h"

#include <algorithm>

namespace fake {

void FakeMainQueue::async(Task task) {
    asyncAfter(std::chrono::duration<double>::zero(), std::move(task));
}

void FakeMainQueue::asyncAfter(std::chrono::duration<double> delay, Task task) {
    std::lock_guard lock(m_mutex);
    m_entries.push_back({m_now + delay.count(), m_nextSequence++, std::move(task)});
}

void FakeMainQueue::advance(std::chrono::duration<double> interval) {
    double target;
    {
        std::lock_guard lock(m_mutex);
        target = m_now + interval.count();
    }
    for (;;) {
        Task task;
        {
            std::lock_guard lock(m_mutex);
            auto next =
                std::min_element(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
                    return a.due < b.due || (a.due == b.due && a.sequence < b.sequence);
                });
            if (next == m_entries.end() || next->due > target) {
                m_now = target;
                return;
            }
            m_now = std::max(m_now, next->due);
            task = std::move(next->task);
            m_entries.erase(next);
        }
        task();
    }
}

double FakeMainQueue::now() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

std::size_t FakeMainQueue::pendingCount() const {
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

} // namespace fake
