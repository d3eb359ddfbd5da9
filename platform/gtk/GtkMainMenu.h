#pragma once

#include "GObjectRef.h"
#include "platform/Menu.h"

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace platform::gtk {

// The key equivalent as a GTK accelerator: Command is Control, Option is Alt. Empty for an item
// without a key equivalent.
std::string accelerator(std::string_view keyEquivalent, std::uint64_t modifierMask);

// The application's menu as a GMenu, with one action per item ("app.NAME") and the key equivalents
// as the application's accelerators. The actions are on the GtkApplication, where accelerators
// look, and in a group of their own for the widgets that show the menu: a plain GtkWindow does not
// see the application's actions, and a group the menu owns outlives the application's shutdown,
// which comes before the windows are destroyed. The model stays one object for the application's
// life, so a window made before a new menu shows the new one.
class GtkMainMenu {
public:
    using SendAction = std::function<void(const std::string& action, ActionTarget* target)>;

    GtkMainMenu(GtkApplication* application, SendAction sendAction);
    ~GtkMainMenu();
    GtkMainMenu(const GtkMainMenu&) = delete;
    GtkMainMenu& operator=(const GtkMainMenu&) = delete;

    void set(const Menu& menu);
    GMenuModel* model() const { return G_MENU_MODEL(model_.get()); }
    // To insert as "app" into a widget that shows the menu.
    GActionGroup* actions() const { return G_ACTION_GROUP(actions_.get()); }

private:
    void clear();
    void append(GMenu* into, const Menu& menu);
    // False when the item has no action a GMenu can name.
    bool addAction(const MenuItem& item);
    static void onActivate(GSimpleAction* action, GVariant* parameter, gpointer self);

    GtkApplication* application_;
    SendAction sendAction_;
    GObjectRef<GMenu> model_;
    GObjectRef<GSimpleActionGroup> actions_;
    // The first item's target wins where two items send the same action.
    std::map<std::string, ActionTarget*> targets_;
};

} // namespace platform::gtk
