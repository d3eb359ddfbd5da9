#include "fake/FakeProcessLauncher.h"

namespace fake {

std::optional<int> FakeProcessLauncher::runAndWait(const std::vector<std::string>& arguments) {
    std::string line = "process.run";
    for (const auto& argument : arguments)
        line += " " + argument;
    m_log.add(line + (outcome ? " status=" + std::to_string(*outcome) : " failed"));
    return outcome;
}

} // namespace fake
