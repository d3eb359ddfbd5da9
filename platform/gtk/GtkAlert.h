#pragma once

#include "platform/Alert.h"

#include <string>
#include <vector>

namespace platform::gtk {

// A GtkMessageDialog run to completion. It stays above the interface window, which floats above
// other windows itself: kept above, and transient for that window when there is one.
class GtkAlert final : public Alert {
public:
    void setMessageText(const std::string& text) override { message_ = text; }
    void setInformativeText(const std::string& text) override { informative_ = text; }
    void addButtonWithTitle(const std::string& title) override { buttons_.push_back(title); }
    int runModal() override;

private:
    std::string message_;
    std::string informative_;
    std::vector<std::string> buttons_;
};

} // namespace platform::gtk
