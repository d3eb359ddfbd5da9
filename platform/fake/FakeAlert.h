#pragma once

#include "fake/FakeMainQueue.h"
#include "fake/Log.h"
#include "platform/Alert.h"

#include <deque>
#include <vector>

namespace fake {

// An alert that answers what the test scripted, logged as it is shown and as it is answered:
//   alert.runModal message="..." informative="..." buttons=Download Update|Later
//   alert.answer 1000
class FakeAlert final : public platform::Alert {
public:
    // Each alert takes the next of the scripted responses; without one it answers with its default
    // (first) button, as a press of Return would.
    FakeAlert(Log& log, FakeMainQueue& queue, std::deque<int>& responses)
        : m_log(log), m_queue(queue), m_responses(responses) {}

    void setMessageText(const std::string& text) override { m_message = text; }
    void setInformativeText(const std::string& text) override { m_informative = text; }
    void addButtonWithTitle(const std::string& title) override { m_buttons.push_back(title); }
    int runModal() override;

private:
    Log& m_log;
    FakeMainQueue& m_queue;
    std::deque<int>& m_responses;
    std::string m_message;
    std::string m_informative;
    std::vector<std::string> m_buttons;
};

} // namespace fake
