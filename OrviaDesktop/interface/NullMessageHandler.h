#pragma once

#include "platform/WebView.h"

namespace orvia {

// Holds the "orvia" name while the controller is being made, before it can take messages itself.
class NullMessageHandler final : public platform::ScriptMessageHandler {
public:
    void didReceiveScriptMessage(const platform::ScriptMessage&) override {}
};

} // namespace orvia
