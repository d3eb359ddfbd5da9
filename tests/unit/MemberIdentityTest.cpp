#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gtest/gtest.h>
#include <regex>
#include <set>

using orvia::OrviaWindowController;

TEST(MemberIdentity, AStoredNonEmptyStringIsUsedVerbatimAnythingElseIsReplacedByAStoredRandomIdentifier) {
    const std::regex made("orvia-kiosk-[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    const std::optional<nlohmann::json> stored[] = {
        "front-desk kiosk 3",         "it's \"ours\"\n", "x", std::nullopt, "", 42, true,
        nlohmann::json::array({"a"}), nullptr,
    };
    std::set<std::string> identifiers;
    for (const auto& value : stored) {
        fake::FakePlatform os;
        if (value)
            os.defaults.setObject("OrviaDesktopGuestMemberID", *value);
        const auto identifier = OrviaWindowController::memberID(os.defaults);
        if (value && value->is_string() && !value->get<std::string>().empty())
            EXPECT_EQ(identifier, *value);
        else
            EXPECT_TRUE(std::regex_match(identifier, made)) << identifier;
        EXPECT_EQ(os.defaults.stringForKey("OrviaDesktopGuestMemberID"), identifier);
        EXPECT_EQ(OrviaWindowController::memberID(os.defaults), identifier);
        identifiers.insert(identifier);
    }
    EXPECT_EQ(identifiers.size(), std::size(stored)) << "every installation makes its own identifier";
}
