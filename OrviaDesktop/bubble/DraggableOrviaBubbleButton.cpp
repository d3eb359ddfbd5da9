#include "bubble/DraggableOrviaBubbleButton.h"

namespace orvia {

DraggableOrviaBubbleButton::DraggableOrviaBubbleButton(platform::Platform& os, const platform::Rect& frame)
    : application(os.application()), platformButton(os.makeButton(frame)) {
    platformButton->setMouseEventHandler(this);
}

DraggableOrviaBubbleButton::~DraggableOrviaBubbleButton() {
    platformButton->setMouseEventHandler(nullptr);
}

void DraggableOrviaBubbleButton::mouseDown(const platform::Event&) {
    beganDragging = false;
}

// No threshold: a press that moved at all was meant to move the bubble, not to open the chat.
void DraggableOrviaBubbleButton::mouseDragged(const platform::Event& event) {
    beganDragging = true;
    if (auto* window = platformButton->window())
        window->performWindowDragWithEvent(event);
}

void DraggableOrviaBubbleButton::mouseUp(const platform::Event&) {
    if (beganDragging)
        return;
    if (const auto& action = platformButton->action())
        application.sendAction(*action, platformButton->target(), platformButton.get());
}

} // namespace orvia
