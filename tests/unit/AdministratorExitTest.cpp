#include "app/AdministratorAuthCommand.h"
#include "app/AppDelegate.h"
#include "fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class AdministratorExit : public testing::Test {
protected:
    AdministratorExit() : delegate(std::make_shared<orvia::AppDelegate>(os)) {
        os.app.setDelegate(delegate);
        os.app.finishLaunching();
        os.log.take();
    }

    static std::string authLine(const std::string& outcome) {
        std::string line = "process.run";
        for (auto argument : orvia::administratorAuthCommand)
            line += " " + std::string(argument);
        return line + " " + outcome;
    }

    fake::FakePlatform os;
    std::shared_ptr<orvia::AppDelegate> delegate;
};

} // namespace

TEST_F(AdministratorExit, StatusZeroOpensTheGateAndTheApplicationTerminatesEndingTheActivityOnce) {
    os.launcher.outcome = 0;
    delegate->administratorExit();

    EXPECT_THAT(os.log.take(),
                ElementsAre(authLine("status=0"), "app.terminate", "process.endActivity #1", "app.exit"));
    EXPECT_TRUE(os.app.hasTerminated());
    EXPECT_EQ(os.process.activeCount(), 0);
    EXPECT_EQ(os.window("interface")->frame(), fake::FakePlatform::defaultVisibleFrame)
        << "no collapse on the way out";
}

TEST_F(AdministratorExit, AnyOtherStatusDoesNothingAndALaterAttemptCanStillSucceed) {
    for (int status : {1, 126, 127, 128 + 15, -1}) {
        os.launcher.outcome = status;
        delegate->administratorExit();
        EXPECT_THAT(os.log.take(), ElementsAre(authLine("status=" + std::to_string(status))));
        EXPECT_FALSE(os.app.hasTerminated());
    }
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel) << "the gate stays closed";

    os.launcher.outcome = 0;
    delegate->administratorExit();
    EXPECT_TRUE(os.app.hasTerminated());
    EXPECT_EQ(os.log.linesStartingWith("process.endActivity").size(), 1u);
}

TEST_F(AdministratorExit, AProgramThatCannotStartOnlyBeeps) {
    os.launcher.outcome = std::nullopt;
    delegate->administratorExit();

    EXPECT_THAT(os.log.take(), ElementsAre(authLine("failed"), "app.beep"));
    EXPECT_FALSE(os.app.hasTerminated());
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel);
}
