#include "GtkMainMenu.h"

#include <gtest/gtest.h>

namespace platform::gtk {
namespace {

using ModifierFlags::Command;
using ModifierFlags::Option;

TEST(GtkMainMenuTest, KeyEquivalentsBecomeAcceleratorsWithCommandAsControlAndOptionAsAlt) {
    struct Case {
        const char* key;
        std::uint64_t mask;
        const char* accelerator;
    };
    const Case cases[] = {
        {"n", Command, "<Control>n"},
        {"q", Command | Option, "<Control><Alt>q"},
        {"q", Option, "<Alt>q"},
        {"N", Command, "<Shift><Control>n"},
        {",", Command, "<Control>comma"},
        {"", Command, ""},
        {"\xff", Command, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(accelerator(c.key, c.mask), c.accelerator) << c.key << " " << c.mask;
        if (*c.accelerator) {
            guint key = 0;
            GdkModifierType modifiers{};
            gtk_accelerator_parse(c.accelerator, &key, &modifiers);
            EXPECT_NE(key, 0u) << "GTK reads " << c.accelerator;
        }
    }
}

} // namespace
} // namespace platform::gtk
