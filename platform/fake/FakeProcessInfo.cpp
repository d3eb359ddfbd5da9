#include "fake/FakeProcessInfo.h"

#include <cstdio>

namespace fake {

namespace {
struct NumberedToken final : platform::ActivityToken {
    explicit NumberedToken(int number) : number(number) {}
    int number;
    bool ended = false;
};
} // namespace

std::unique_ptr<platform::ActivityToken> FakeProcessInfo::beginActivity(std::uint64_t options,
                                                                        const std::string& reason) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%llx", static_cast<unsigned long long>(options));
    auto token = std::make_unique<NumberedToken>(m_nextNumber++);
    m_log.add("process.beginActivity #" + std::to_string(token->number) + " options=" + hex + " reason=" + reason);
    ++m_active;
    return token;
}

void FakeProcessInfo::endActivity(platform::ActivityToken& token) {
    auto& numbered = dynamic_cast<NumberedToken&>(token);
    m_log.add("process.endActivity #" + std::to_string(numbered.number));
    if (!numbered.ended) {
        numbered.ended = true;
        --m_active;
    }
}

} // namespace fake
