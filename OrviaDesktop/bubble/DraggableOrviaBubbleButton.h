#pragma once

#include "platform/Platform.h"

#include <memory>

namespace orvia {

// The bubble's round button: a press and release sends its action, while a press that moves at
// all drags the bubble's window instead and sends nothing. Main thread only.
class DraggableOrviaBubbleButton final : public platform::MouseEventHandler {
  public:
    DraggableOrviaBubbleButton(platform::Platform& os, const platform::Rect& frame);
    ~DraggableOrviaBubbleButton() override;
    DraggableOrviaBubbleButton(const DraggableOrviaBubbleButton&) = delete;
    DraggableOrviaBubbleButton& operator=(const DraggableOrviaBubbleButton&) = delete;

    // The platform button, for its appearance, target and action.
    platform::Button& button() { return *platformButton; }

    void mouseDown(const platform::Event& event) override;
    void mouseDragged(const platform::Event& event) override;
    void mouseUp(const platform::Event& event) override;

  private:
    platform::Application& application;
    // Set before the platform button exists, so no event can find it unset.
    bool beganDragging = false;
    std::unique_ptr<platform::Button> platformButton;
};

} // namespace orvia
