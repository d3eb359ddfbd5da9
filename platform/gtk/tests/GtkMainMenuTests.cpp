#include "GtkMainMenu.h"

#include <gtest/gtest.h>

namespace platform::gtk {
namespace {

using ModifierFlags::Command;
using ModifierFlags::Option;

TEST(GtkMainMenuTest, KeyEquivalentsBecomeAcceleratorsWithCommandAsControlAndOptionAsAlt) {
    const std::tuple<const char*, std::uint64_t, const char*> cases[] = {
        {"n", Command, "<Control>n"},
        {"q", Command | Option, "<Control><Alt>q"},
        {"N", Command, "<Shift><Control>n"},
        {",", Command, "<Control>comma"},
        {"", Command, ""},
        {"\xff", Command, ""},
    };
    for (const auto& [key, mask, expected] : cases)
        EXPECT_EQ(accelerator(key, mask), expected) << key << " " << mask;
}

} // namespace
} // namespace platform::gtk
