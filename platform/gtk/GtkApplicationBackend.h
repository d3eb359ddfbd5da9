#pragma once

#include "GObjectRef.h"
#include "SignalConnection.h"
#include "platform/Application.h"

#include <gtk/gtk.h>

#include <string>

namespace platform::gtk {

// A GtkApplication named by the application identifier. A second launch activates the running
// instance, which the delegate sees as a reopen.
class GtkApplicationBackend final : public Application {
  public:
    explicit GtkApplicationBackend(const std::string& applicationIdentifier);
    ~GtkApplicationBackend() override;

    void setDelegate(std::weak_ptr<ApplicationDelegate> delegate) override;
    int run() override;
    void setActivationPolicy(ActivationPolicy policy) override;
    void terminate() override;
    void unhide() override;
    void activateIgnoringOtherApps(bool flag) override;
    bool sendAction(const std::string& action, ActionTarget* target, View* sender) override;

    GtkApplication* gtkApplication() const { return application_.get(); }

  private:
    static void onStartup(GApplication* application, gpointer self);
    static void onActivate(GApplication* application, gpointer self);
    static void onQueryEnd(GtkApplication* application, gpointer self);
    bool hasVisibleWindows() const;

    GObjectRef<GtkApplication> application_;
    std::weak_ptr<ApplicationDelegate> delegate_;
    bool finishedLaunching_ = false;
    SignalConnection startup_;
    SignalConnection activate_;
    SignalConnection queryEnd_;
};

} // namespace platform::gtk
