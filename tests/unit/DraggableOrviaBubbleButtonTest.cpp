#include "bubble/DraggableOrviaBubbleButton.h"
#include "fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace {

// A bubble button in its panel, sending its action through the application.
struct Bench {
    Bench() : button(os, {0, 0, 112, 112}), panel(os.makeWindow({{1304, 94, 112, 112}, 128, "bubble"})) {
        button.button().setAction("restoreFromBubble");
        panel->setContentView(button.button());
    }

    // 'd' mouse down, 'm' mouse dragged, 'u' mouse up, on the bubble.
    void play(std::string_view events) {
        for (char event : events) {
            const platform::Point at{1330, 120};
            auto& pointer = *os.button();
            if (event == 'd')
                pointer.mouseDown(at);
            else if (event == 'm')
                pointer.mouseDragged(at);
            else
                pointer.mouseUp(at);
        }
    }

    // The window drags asked for and the actions sent since the last call.
    std::pair<std::size_t, std::size_t> effects() {
        auto lines = os.log.take();
        const auto drags = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.starts_with("bubble.performWindowDragWithEvent");
        });
        const auto sent =
            os.app.sentActions().size() - std::exchange(sentBefore, os.app.sentActions().size());
        return {static_cast<std::size_t>(drags), sent};
    }

    fake::FakePlatform os;
    orvia::DraggableOrviaBubbleButton button;
    std::unique_ptr<platform::Window> panel;
    std::size_t sentBefore = 0;
};

} // namespace

// Each row of the press state machine: from a state, one event, its effect (window drags, actions sent),
// and whether it leaves a drag going, which a following mouse-up reveals (it sends the action only when
// the press was no drag).
TEST(BubbleButtonStates, EveryRowOfThePressStateMachineAndNoActionOrWindowToUse) {
    const std::tuple<const char*, const char*, char, std::size_t, std::size_t, bool> rows[] = {
        {"idle, down", "", 'd', 0, 0, false},
        {"idle, dragged", "", 'm', 1, 0, true},
        {"idle, up (no down since construction)", "", 'u', 0, 1, false},
        {"dragging, down (a click right after a drag)", "dm", 'd', 0, 0, false},
        {"dragging, dragged", "dm", 'm', 1, 0, true},
        {"dragging, up", "dm", 'u', 0, 0, true},
    };
    for (const auto& [name, reachState, event, drags, sends, draggingAfter] : rows) {
        SCOPED_TRACE(name);
        Bench bench;
        bench.play(reachState);
        bench.effects();

        bench.play(std::string(1, event));
        EXPECT_EQ(bench.effects(), std::pair(drags, sends));
        bench.play("u");
        EXPECT_EQ(bench.effects().second, draggingAfter ? 0u : 1u) << "state left behind";
    }

    // Without an action a click sends nothing; without a window a drag moves nothing but still keeps its
    // release from clicking.
    Bench bench;
    bench.button.button().setAction(std::nullopt);
    bench.play("du");
    bench.button.button().setAction("restoreFromBubble");
    bench.panel.reset();
    bench.play("dmu");
    EXPECT_EQ(bench.effects(), (std::pair<std::size_t, std::size_t>(0, 0)));
}
