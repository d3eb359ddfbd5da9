#pragma once

#include "app/AppDelegate.h"
#include "fake/FakePlatform.h"

#include <gtest/gtest.h>

// The application delegate installed on a fresh recording platform, ready to launch.
class LaunchableApplication : public testing::Test {
protected:
    LaunchableApplication() : delegate(std::make_shared<orvia::AppDelegate>(os)) { os.app.setDelegate(delegate); }

    // Finishes launching and forgets what the launch logged.
    void launch() {
        os.app.finishLaunching();
        os.log.take();
    }

    fake::FakePlatform os;
    std::shared_ptr<orvia::AppDelegate> delegate;
};
