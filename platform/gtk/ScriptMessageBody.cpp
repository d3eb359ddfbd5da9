#include "ScriptMessageBody.h"

#include <glib.h>

#include <cstring>

namespace platform::gtk {

ScriptMessageBody scriptMessageBody(JSCValue* value) {
    if (!value || jsc_value_is_undefined(value) || jsc_value_is_null(value))
        return {};
    char* text = jsc_value_to_json(value, 0);
    if (!text) {
        // A value JSON.stringify refuses (a cycle) leaves an exception in its context.
        jsc_context_clear_exception(jsc_value_get_context(value));
        return {};
    }
    const std::size_t textBytes = std::strlen(text);
    if (textBytes > maximumMessageBytes) {
        g_free(text);
        return {nullptr, textBytes};
    }
    auto body = nlohmann::json::parse(text, text + textBytes, nullptr, /*allow_exceptions=*/false);
    g_free(text);
    return {body.is_discarded() ? nlohmann::json(nullptr) : std::move(body), textBytes};
}

} // namespace platform::gtk
