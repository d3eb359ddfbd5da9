#include "ScriptMessageBody.h"

#include <gtest/gtest.h>

namespace platform::gtk {
namespace {

// Evaluates a page expression in a bare JavaScript context and converts its value.
ScriptMessageBody bodyOf(const std::string& expression) {
    JSCContext* context = jsc_context_new();
    JSCValue* value = jsc_context_evaluate(context, expression.c_str(), -1);
    auto body = scriptMessageBody(value);
    const bool exceptionLeft = jsc_context_get_exception(context) != nullptr;
    g_object_unref(value);
    g_object_unref(context);
    EXPECT_FALSE(exceptionLeft) << expression;
    return body;
}

// Page values become neutral values, an object apart from a string, and what JSON cannot hold becomes null;
// the rest of JSON's conversion is the engine's own.
TEST(ScriptMessageBodyTest, ConvertsPageValuesAsJsonWouldHoldThemAndBodiesOverTheLimitBecomeNullUnread) {
    const std::pair<const char*, nlohmann::json> cases[] = {
        {"({type: 'minimize'})", {{"type", "minimize"}}},
        {"'minimize'", "minimize"},
        {"undefined", nullptr},
        {"(function () {})", nullptr},
        {"(() => { const o = {}; o.self = o; return o; })()", nullptr},
    };
    for (const auto& [expression, body] : cases)
        EXPECT_EQ(bodyOf(expression).value, body) << expression;
    EXPECT_TRUE(scriptMessageBody(nullptr).value.is_null());
    EXPECT_EQ(scriptMessageBody(nullptr).textBytes, 0u);

    // The size of a body's text; bodies over the limit become null unread.
    EXPECT_EQ(bodyOf("({type: 'wake', padding: 'x'.repeat(1000)})").textBytes,
              std::string(R"({"type":"wake","padding":""})").size() + 1000);
    // A string's text is its characters and two quotes.
    const auto repeated = [](std::size_t count) { return "'x'.repeat(" + std::to_string(count) + ")"; };
    EXPECT_EQ(bodyOf(repeated(maximumMessageBytes - 2)).value, std::string(maximumMessageBytes - 2, 'x'));
    EXPECT_TRUE(bodyOf(repeated(maximumMessageBytes - 1)).value.is_null());
}

} // namespace
} // namespace platform::gtk
