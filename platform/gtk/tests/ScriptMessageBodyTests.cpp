#include "ScriptMessageBody.h"

#include <gtest/gtest.h>

namespace platform::gtk {
namespace {

// Evaluates a page expression in a bare JavaScript context and converts its value.
nlohmann::json bodyOf(const char* expression) {
    JSCContext* context = jsc_context_new();
    JSCValue* value = jsc_context_evaluate(context, expression, -1);
    auto body = scriptMessageBody(value).value;
    const bool exceptionLeft = jsc_context_get_exception(context) != nullptr;
    g_object_unref(value);
    g_object_unref(context);
    EXPECT_FALSE(exceptionLeft) << expression;
    return body;
}

struct Case {
    const char* expression;
    nlohmann::json body;
};

TEST(ScriptMessageBodyTest, ConvertsPageValuesToNeutralValues) {
    const Case cases[] = {
        {"({type: 'minimize'})", {{"type", "minimize"}}},
        {"'minimize'", "minimize"},
        {"({type: 'open', url: 'https://example.org/a?b=1'})",
         {{"type", "open"}, {"url", "https://example.org/a?b=1"}}},
        {"[1, 'two', true, null]", nlohmann::json::array({1, "two", true, nullptr})},
        {"42.5", 42.5},
        {"false", false},
        {"({nested: {list: [{}]}})",
         {{"nested", {{"list", nlohmann::json::array({nlohmann::json::object()})}}}}},
        {"'\\u00e9\\u2028\\\"'", "\u00e9\u2028\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bodyOf(c.expression), c.body) << c.expression;
}

TEST(ScriptMessageBodyTest, WhatJsonCannotHoldBecomesNull) {
    const char* expressions[] = {
        "undefined",   "null", "(function () {})", "(() => { const o = {}; o.self = o; return o; })()",
        "Symbol('x')", "10n",
    };
    for (const char* expression : expressions)
        EXPECT_TRUE(bodyOf(expression).is_null()) << expression;
}

TEST(ScriptMessageBodyTest, DropsMembersJsonDropsAndKeepsTheRest) {
    EXPECT_EQ(bodyOf("({type: 'wake', callback() {}, missing: undefined})"),
              nlohmann::json({{"type", "wake"}}));
    EXPECT_TRUE(scriptMessageBody(nullptr).value.is_null());
}

TEST(ScriptMessageBodyTest, BodiesOverTheLimitBecomeNullUnread) {
    const std::string atLimit = "'x'.repeat(" + std::to_string(maximumMessageBytes - 2) + ")";
    EXPECT_EQ(bodyOf(atLimit.c_str()), std::string(maximumMessageBytes - 2, 'x'));
    const std::string overLimit = "'x'.repeat(" + std::to_string(maximumMessageBytes - 1) + ")";
    EXPECT_TRUE(bodyOf(overLimit.c_str()).is_null());
    EXPECT_TRUE(bodyOf("({type: 'minimize', bytes: Array.from(new Uint8Array(1 << 20))})").is_null());
}

TEST(ScriptMessageBodyTest, TellsTheSizeOfTheTextItWasReadFrom) {
    JSCContext* context = jsc_context_new();
    JSCValue* value = jsc_context_evaluate(context, "({type: 'wake', padding: 'x'.repeat(1000)})", -1);
    EXPECT_EQ(scriptMessageBody(value).textBytes,
              std::string(R"({"type":"wake","padding":""})").size() + 1000);
    g_object_unref(value);
    g_object_unref(context);
    EXPECT_EQ(scriptMessageBody(nullptr).textBytes, 0u);
}

} // namespace
} // namespace platform::gtk
