#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gtest/gtest.h>
#include <regex>

using orvia::OrviaWindowController;

namespace {
const std::regex
    madeIdentifier("orvia-kiosk-[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
}

TEST(MemberIdentity, FirstCallMakesAndStoresAnIdentifierLaterCallsReturnIt) {
    fake::FakePlatform os;
    auto first = OrviaWindowController::memberID(os.defaults);

    EXPECT_TRUE(std::regex_match(first, madeIdentifier)) << first;
    EXPECT_EQ(first.size(), 48u);
    EXPECT_EQ(os.defaults.stringForKey("OrviaDesktopGuestMemberID"), first);
    EXPECT_EQ(OrviaWindowController::memberID(os.defaults), first);
    EXPECT_EQ(os.log.linesStartingWith("defaults.set").size(), 1u);
}

TEST(MemberIdentity, IdentifiersOfTwoInstallationsDiffer) {
    fake::FakePlatform a, b;
    EXPECT_NE(OrviaWindowController::memberID(a.defaults), OrviaWindowController::memberID(b.defaults));
}

TEST(MemberIdentity, AStoredNonEmptyStringIsUsedVerbatim) {
    for (const std::string stored : {"front-desk kiosk 3", "it's \"ours\"\n", "x"}) {
        fake::FakePlatform os;
        os.defaults.setObject("OrviaDesktopGuestMemberID", stored);
        EXPECT_EQ(OrviaWindowController::memberID(os.defaults), stored);
        EXPECT_EQ(os.defaults.stringForKey("OrviaDesktopGuestMemberID"), stored);
    }
}

TEST(MemberIdentity, EmptyOrNonStringValuesAreReplaced) {
    for (const nlohmann::json& stored : {nlohmann::json(""), nlohmann::json(42), nlohmann::json(true),
                                         nlohmann::json::array({"a"}), nlohmann::json(nullptr)}) {
        fake::FakePlatform os;
        os.defaults.setObject("OrviaDesktopGuestMemberID", stored);
        auto made = OrviaWindowController::memberID(os.defaults);
        EXPECT_TRUE(std::regex_match(made, madeIdentifier)) << stored.dump();
        EXPECT_EQ(os.defaults.stringForKey("OrviaDesktopGuestMemberID"), made);
    }
}
