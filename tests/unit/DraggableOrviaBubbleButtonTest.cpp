#include "bubble/DraggableOrviaBubbleButton.h"
#include "fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::IsEmpty;

namespace {

struct RecordingTarget final : platform::ActionTarget {
    bool tryToPerform(const std::string& action, platform::View* sender) override {
        performed.push_back({action, sender});
        return true;
    }
    std::vector<std::pair<std::string, platform::View*>> performed;
};

// A bubble button in its panel, aimed at a recording target.
struct Bench {
    Bench() : button(os, {0, 0, 112, 112}), panel(os.makeWindow({{1304, 94, 112, 112}, 128, "bubble"})) {
        button.button().setTarget(&target);
        button.button().setAction("restoreFromBubble");
        panel->setContentView(button.button());
        os.log.take();
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

    std::size_t windowDrags() {
        auto lines = os.log.take();
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                return line.starts_with("bubble.performWindowDragWithEvent");
            }));
    }

    std::size_t actionsSent() { return std::exchange(target.performed, {}).size(); }

    fake::FakePlatform os;
    RecordingTarget target;
    orvia::DraggableOrviaBubbleButton button;
    std::unique_ptr<platform::Window> panel;
    int step = 0;
};

class BubbleButton : public testing::Test, protected Bench {};

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
        bench.os.log.take();
        bench.actionsSent();

        bench.play(std::string(1, row.event));
        EXPECT_EQ(bench.windowDrags(), row.drags);
        EXPECT_EQ(bench.actionsSent(), row.sends);

        bench.play("u");
        EXPECT_EQ(bench.actionsSent(), row.draggingAfter ? 0u : 1u) << "state left behind";
    }
}

TEST_F(BubbleButton, TheActionGoesToTheCurrentTarget) {
    RecordingTarget later;
    button.button().setTarget(&later);
    play("du");
    EXPECT_EQ(actionsSent(), 0u);
    EXPECT_EQ(later.performed.size(), 1u);
}

TEST_F(BubbleButton, WithoutAnActionAClickSendsNothing) {
    button.button().setAction(std::nullopt);
    play("du");
    EXPECT_EQ(actionsSent(), 0u);
    EXPECT_THAT(os.app.sentActions(), IsEmpty());
}

TEST_F(BubbleButton, WithoutAWindowADragStillCountsButMovesNothing) {
    panel.reset();
    play("dmu");
    EXPECT_EQ(windowDrags(), 0u);
    EXPECT_EQ(actionsSent(), 0u);
}
