#pragma once

#include "platform/ProcessInfo.h"

#include <gtk/gtk.h>

namespace platform::gtk {

// The session manager's inhibitor (idle, suspend) and the X screen saver's suspension.
class GtkProcessInfo final : public ProcessInfo {
  public:
    explicit GtkProcessInfo(GtkApplication* application) : application_(application) {}

    std::unique_ptr<ActivityToken> beginActivity(std::uint64_t options, const std::string& reason) override;
    void endActivity(ActivityToken& token) override;

  private:
    GtkApplication* application_;
};

} // namespace platform::gtk
