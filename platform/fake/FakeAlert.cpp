#include "fake/FakeAlert.h"

namespace fake {

int FakeAlert::runModal() {
    std::string buttons;
    for (const auto& title : m_buttons)
        buttons += (buttons.empty() ? "" : "|") + title;
    m_log.add("alert.runModal message=\"" + m_message + "\" informative=\"" + m_informative +
              "\" buttons=" + buttons);
    // The desktop runs a nested event loop while the alert waits, in which queued tasks run.
    m_queue.drain();
    int response = platform::AlertResponse::FirstButton;
    if (!m_responses.empty()) {
        response = m_responses.front();
        m_responses.pop_front();
    }
    m_log.add("alert.answer " + std::to_string(response));
    return response;
}

} // namespace fake
