#include "fake/FakeWindow.h"

#include "fake/FakeButton.h"

namespace fake {

FakeWindow::FakeWindow(Log& log, const platform::WindowParameters& parameters)
    : m_log(log), m_parameters(parameters) {
    // Like the original platform, the frame starts as the content rectangle.
    m_frame = parameters.contentRect;
    record("create content=" + platform::describe(parameters.contentRect) +
           " style=" + std::to_string(parameters.styleMask));
}

FakeWindow::~FakeWindow() {
    if (auto* button = dynamic_cast<FakeButton*>(m_contentView))
        button->setWindow(nullptr);
}

void FakeWindow::record(const std::string& call) {
    m_log.add(m_parameters.role + "." + call);
}

void FakeWindow::setFrame(const platform::Rect& frame, bool display) {
    m_frame = frame;
    record("setFrame " + platform::describe(frame) + " display=" + yesNo(display));
}

void FakeWindow::center() {
    record("center");
}

void FakeWindow::setTitle(const std::string& title) {
    m_title = title;
    record("setTitle " + title);
}

void FakeWindow::setTitleVisibility(platform::TitleVisibility visibility) {
    record("setTitleVisibility " + std::to_string(static_cast<int>(visibility)));
}

void FakeWindow::setTitlebarAppearsTransparent(bool transparent) {
    record("setTitlebarAppearsTransparent " + yesNo(transparent));
}

void FakeWindow::setMovableByWindowBackground(bool movable) {
    record("setMovableByWindowBackground " + yesNo(movable));
}

void FakeWindow::setMinSize(const platform::Size& size) {
    record("setMinSize " + platform::describe(size));
}

void FakeWindow::setLevel(platform::WindowLevel level) {
    m_level = level;
    record("setLevel " + std::to_string(static_cast<int>(level)));
}

void FakeWindow::setCollectionBehavior(unsigned behavior) {
    record("setCollectionBehavior " + std::to_string(behavior));
}

void FakeWindow::setHidesOnDeactivate(bool hides) {
    record("setHidesOnDeactivate " + yesNo(hides));
}

void FakeWindow::setAlphaValue(double alpha) {
    m_alpha = alpha;
    record("setAlphaValue " + number(alpha));
}

void FakeWindow::setIgnoresMouseEvents(bool ignores) {
    m_ignoresMouseEvents = ignores;
    record("setIgnoresMouseEvents " + yesNo(ignores));
}

void FakeWindow::setOpaque(bool opaque) {
    record("setOpaque " + yesNo(opaque));
}

void FakeWindow::setBackgroundColor(const platform::Color& color) {
    record("setBackgroundColor " + describe(color));
}

void FakeWindow::setHasShadow(bool hasShadow) {
    record("setHasShadow " + yesNo(hasShadow));
}

void FakeWindow::orderFrontRegardless() {
    m_visible = true;
    record("orderFrontRegardless");
}

void FakeWindow::makeKeyAndOrderFront() {
    m_visible = true;
    m_key = true;
    record("makeKeyAndOrderFront");
}

void FakeWindow::orderOut() {
    m_visible = false;
    m_key = false;
    record("orderOut");
}

void FakeWindow::deminiaturize() {
    m_miniaturized = false;
    record("deminiaturize");
}

void FakeWindow::setContentView(platform::View& view) {
    if (auto* button = dynamic_cast<FakeButton*>(m_contentView))
        button->setWindow(nullptr);
    m_contentView = &view;
    if (auto* button = dynamic_cast<FakeButton*>(&view))
        button->setWindow(this);
    record("setContentView");
}

void FakeWindow::performWindowDragWithEvent(const platform::Event& event) {
    record("performWindowDragWithEvent " + number(event.locationInScreen.x) + "," +
           number(event.locationInScreen.y));
}

void FakeWindow::setDelegate(platform::WindowDelegate* delegate) {
    m_delegate = delegate;
    record(delegate ? "setDelegate" : "setDelegate none");
}

bool FakeWindow::requestClose() {
    bool mayClose = !m_delegate || m_delegate->windowShouldClose();
    if (mayClose)
        m_visible = false;
    return mayClose;
}

void FakeWindow::moveByUser(const platform::Point& origin) {
    m_frame.x = origin.x;
    m_frame.y = origin.y;
}

void FakeWindow::miniaturize() {
    m_miniaturized = true;
    m_key = false;
    if (m_delegate)
        m_delegate->windowDidMiniaturize();
}

} // namespace fake
