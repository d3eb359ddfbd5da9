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

    // 'd' mouse down, 'm' mouse dragged, 'u' mouse up, each 5 points further right.
    void play(std::string_view events) {
        for (char event : events) {
            const platform::Point at{1330 + 5.0 * step++, 120};
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
    int step = 0;
    std::size_t sentBefore = 0;
};

} // namespace

// Each row of the press state machine: from a state, one event, its effect, and the state it leaves,
// which a following mouse-up reveals (it sends the action only when the press was no drag).
TEST(BubbleButtonStates, EveryRowOfThePressStateMachine) {
    struct Row {
        const char* name;
        const char* reachState;
        char event;
        std::size_t drags;
        std::size_t sends;
        bool draggingAfter;
    };
    const Row rows[] = {
        {"idle, down", "", 'd', 0, 0, false},
        {"idle, dragged", "", 'm', 1, 0, true},
        {"idle, up (no down since construction)", "", 'u', 0, 1, false},
        {"dragging, down (a click right after a drag)", "dm", 'd', 0, 0, false},
        {"dragging, dragged", "dm", 'm', 1, 0, true},
        {"dragging, up", "dm", 'u', 0, 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Bench bench;
        bench.play(row.reachState);
        bench.effects();

        bench.play(std::string(1, row.event));
        EXPECT_EQ(bench.effects(), std::pair(row.drags, row.sends));
        bench.play("u");
        EXPECT_EQ(bench.effects().second, row.draggingAfter ? 0u : 1u) << "state left behind";
    }
}

TEST(BubbleButton, WithoutAnActionAClickSendsNothingAndWithoutAWindowADragMovesNothing) {
    Bench bench;
    bench.button.button().setAction(std::nullopt);
    bench.play("du");
    EXPECT_EQ(bench.effects().second, 0u);

    // Without a window a drag moves nothing but still keeps its release from clicking.
    bench.button.button().setAction("restoreFromBubble");
    bench.panel.reset();
    bench.play("dmu");
    EXPECT_EQ(bench.effects(), (std::pair<std::size_t, std::size_t>(0, 0)));
}
