#pragma once

#include "fake/Log.h"
#include "platform/Process.h"

namespace fake {

// Runs nothing: logs the command and answers with the outcome the test chose.
class FakeProcessLauncher final : public platform::ProcessLauncher {
public:
    explicit FakeProcessLauncher(Log& log) : m_log(log) {}
    std::optional<int> runAndWait(const std::vector<std::string>& arguments) override;

    // The next runs' exit status; nothing plays a program that cannot be started.
    std::optional<int> outcome = 0;

private:
    Log& m_log;
};

} // namespace fake
