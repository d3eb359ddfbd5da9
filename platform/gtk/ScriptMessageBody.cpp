#include "ScriptMessageBody.h"

#include <glib.h>

namespace platform::gtk {

nlohmann::json scriptMessageBody(JSCValue* value) {
    if (!value || jsc_value_is_undefined(value) || jsc_value_is_null(value))
        return nullptr;
    char* text = jsc_value_to_json(value, 0);
    if (!text) {
        // A value JSON.stringify refuses (a cycle) leaves an exception in its context.
        jsc_context_clear_exception(jsc_value_get_context(value));
        return nullptr;
    }
    auto body = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    g_free(text);
    return body.is_discarded() ? nlohmann::json(nullptr) : body;
}

} // namespace platform::gtk
