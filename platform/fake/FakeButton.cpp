#include "fake/FakeButton.h"

#include <nlohmann/json.hpp>

namespace fake {

FakeButton::FakeButton(Log& log, const platform::Rect& frame) : m_log(log) {
    m_log.add("button.create frame=" + platform::describe(frame));
}

// Quoted as JSON, so that the title's line feed and quotation marks stay visible on one log line.
void FakeButton::setTitle(const std::string& title) {
    m_title = title;
    m_log.add("button.setTitle " + nlohmann::json(title).dump());
}

void FakeButton::setFont(const platform::Font& font) {
    m_log.add("button.setFont " + number(font.size) +
              (font.weight == platform::FontWeight::Heavy ? " heavy" : " regular"));
}

void FakeButton::setContentTintColor(const platform::Color& color) {
    m_log.add("button.setContentTintColor " + describe(color));
}

void FakeButton::setBordered(bool bordered) {
    m_log.add("button.setBordered " + yesNo(bordered));
}

void FakeButton::setWantsLayer(bool wantsLayer) {
    m_log.add("button.setWantsLayer " + yesNo(wantsLayer));
    if (wantsLayer && !m_layer)
        m_layer = std::make_unique<FakeLayer>(m_log);
}

void FakeButton::setToolTip(const std::string& toolTip) {
    m_toolTip = toolTip;
    m_log.add("button.setToolTip " + toolTip);
}

void FakeButton::setTarget(platform::ActionTarget* target) {
    m_target = target;
    m_log.add(target ? "button.setTarget" : "button.setTarget none");
}

void FakeButton::setAction(std::optional<std::string> action) {
    m_action = std::move(action);
    m_log.add("button.setAction " + m_action.value_or("none"));
}

platform::Event FakeButton::event(const platform::Point& location) {
    return {location, 0, ++m_time};
}

void FakeButton::mouseDown(const platform::Point& location) {
    if (m_handler)
        m_handler->mouseDown(event(location));
}

void FakeButton::mouseDragged(const platform::Point& location) {
    if (m_handler)
        m_handler->mouseDragged(event(location));
}

void FakeButton::mouseUp(const platform::Point& location) {
    if (m_handler)
        m_handler->mouseUp(event(location));
}

void FakeButton::click(const platform::Point& location) {
    mouseDown(location);
    mouseUp(location);
}

} // namespace fake
