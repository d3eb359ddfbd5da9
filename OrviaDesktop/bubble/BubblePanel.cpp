#include "interface/OrviaWindowController.h"

namespace orvia {

namespace {
constexpr double side = 112.0;
constexpr double margin = 24.0;
constexpr platform::Rect visibleFrameWithoutScreen{0, 0, 1440.0, 900.0};
constexpr platform::Color fill{0.08, 0.32, 0.36, 1.0};
constexpr platform::Color border{0.96, 0.68, 0.08, 1.0};
constexpr platform::Font titleFont{15.0, platform::FontWeight::Heavy};
constexpr const char* title = "For Help\nSay \"Hi Orvia\"";
constexpr const char* toolTip = "Drag to move. Click or say Hi Orvia to open chat.";
constexpr unsigned onEveryWorkspace = platform::WindowCollectionBehavior::CanJoinAllSpaces |
                                      platform::WindowCollectionBehavior::FullScreenAuxiliary;
} // namespace

// The corner is chosen once: afterwards the bubble stays wherever the user dropped it.
void OrviaWindowController::showBubble() {
    if (!bubblePanel) {
        auto screen = os.screens().mainScreen();
        const platform::Rect visible = screen ? screen->visibleFrame : visibleFrameWithoutScreen;
        const platform::Rect content{visible.maxX() - side - margin, visible.minY() + margin, side, side};

        auto panel = os.makeWindow({content, platform::WindowStyleMask::NonactivatingPanel, "bubble"});
        panel->setLevel(platform::WindowLevel::Floating);
        panel->setCollectionBehavior(onEveryWorkspace);
        panel->setOpaque(false);
        panel->setBackgroundColor(platform::Color::clear());
        panel->setHasShadow(true);
        panel->setMovableByWindowBackground(true);

        bubbleButton = std::make_unique<DraggableOrviaBubbleButton>(os, platform::Rect{0, 0, side, side});
        auto& button = bubbleButton->button();
        button.setTitle(title);
        button.setFont(titleFont);
        button.setContentTintColor(platform::Color::white());
        button.setBordered(false);
        button.setWantsLayer(true);
        if (auto* layer = button.layer()) {
            layer->setBackgroundColor(fill);
            layer->setCornerRadius(side / 2);
            layer->setBorderWidth(4.0);
            layer->setBorderColor(border);
        }
        button.setTarget(this);
        button.setAction(restoreFromBubbleAction);
        button.setToolTip(toolTip);

        panel->setContentView(button);
        bubblePanel = std::move(panel);
    }
    bubblePanel->orderFrontRegardless();
}

} // namespace orvia
