#pragma once

#include "fake/Log.h"
#include "platform/ProcessInfo.h"

namespace fake {

class FakeProcessInfo final : public platform::ProcessInfo {
public:
    explicit FakeProcessInfo(Log& log) : m_log(log) {}
    std::unique_ptr<platform::ActivityToken> beginActivity(std::uint64_t options, const std::string& reason) override;
    void endActivity(platform::ActivityToken& token) override;
    int activeCount() const { return m_active; }

private:
    Log& m_log;
    int m_active = 0;
    int m_nextNumber = 1;
};

} // namespace fake
