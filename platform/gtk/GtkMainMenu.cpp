#include "GtkMainMenu.h"

#include "CallbackGuard.h"

namespace platform::gtk {

std::string accelerator(std::string_view keyEquivalent, std::uint64_t modifierMask) {
    if (keyEquivalent.empty())
        return {};
    const gunichar character =
        g_utf8_get_char_validated(keyEquivalent.data(), static_cast<gssize>(keyEquivalent.size()));
    if (character == static_cast<gunichar>(-1) || character == static_cast<gunichar>(-2))
        return {};
    guint keyval = gdk_unicode_to_keyval(character);
    std::string modifiers;
    // An upper-case key equivalent implies Shift, as on the original platform.
    if (gdk_keyval_to_lower(keyval) != keyval) {
        modifiers += "<Shift>";
        keyval = gdk_keyval_to_lower(keyval);
    }
    if (modifierMask & ModifierFlags::Command)
        modifiers += "<Control>";
    if (modifierMask & ModifierFlags::Option)
        modifiers += "<Alt>";
    const char* name = gdk_keyval_name(keyval);
    return name ? modifiers + name : std::string();
}

GtkMainMenu::GtkMainMenu(GtkApplication* application, SendAction sendAction)
    : application_(application), sendAction_(std::move(sendAction)), model_(g_menu_new()),
      actions_(g_simple_action_group_new()) {}

// The application has shut down by now, so only the handlers go.
GtkMainMenu::~GtkMainMenu() {
    for (const auto& [name, target] : targets_)
        if (GAction* action = g_action_map_lookup_action(G_ACTION_MAP(actions_.get()), name.c_str()))
            g_signal_handlers_disconnect_by_data(action, this);
}

void GtkMainMenu::set(const Menu& menu) {
    clear();
    append(model_.get(), menu);
}

void GtkMainMenu::clear() {
    g_menu_remove_all(model_.get());
    for (const auto& [action, target] : targets_) {
        const std::string name = "app." + action;
        const char* none[] = {nullptr};
        gtk_application_set_accels_for_action(application_, name.c_str(), none);
        if (GAction* found = g_action_map_lookup_action(G_ACTION_MAP(actions_.get()), action.c_str()))
            g_signal_handlers_disconnect_by_data(found, this);
        g_action_map_remove_action(G_ACTION_MAP(actions_.get()), action.c_str());
        g_action_map_remove_action(G_ACTION_MAP(application_), action.c_str());
    }
    targets_.clear();
}

// Separators become section boundaries, which a GMenu draws as separators, and an untitled
// submenu (the application menu) is drawn in place of its item.
void GtkMainMenu::append(GMenu* into, const Menu& menu) {
    GObjectRef<GMenu> section(g_menu_new());
    auto closeSection = [&] {
        if (g_menu_model_get_n_items(G_MENU_MODEL(section.get())) > 0)
            g_menu_append_section(into, nullptr, G_MENU_MODEL(section.get()));
        section = GObjectRef<GMenu>(g_menu_new());
    };
    for (const auto& item : menu.items) {
        if (item.isSeparator) {
            closeSection();
        } else if (item.submenu && item.title.empty()) {
            closeSection();
            append(into, *item.submenu);
        } else if (item.submenu) {
            GObjectRef<GMenu> submenu(g_menu_new());
            append(submenu.get(), *item.submenu);
            g_menu_append_submenu(section.get(), item.title.c_str(), G_MENU_MODEL(submenu.get()));
        } else {
            const std::string detailed = addAction(item) ? "app." + item.action : std::string();
            g_menu_append(section.get(), item.title.c_str(), detailed.empty() ? nullptr : detailed.c_str());
        }
    }
    closeSection();
}

bool GtkMainMenu::addAction(const MenuItem& item) {
    if (item.action.empty() || !g_action_name_is_valid(item.action.c_str()))
        return false;
    if (targets_.contains(item.action))
        return true;
    targets_.emplace(item.action, item.target);
    GObjectRef<GSimpleAction> action(g_simple_action_new(item.action.c_str(), nullptr));
    g_signal_connect(action.get(), "activate", G_CALLBACK(&onActivate), this);
    g_action_map_add_action(G_ACTION_MAP(actions_.get()), G_ACTION(action.get()));
    g_action_map_add_action(G_ACTION_MAP(application_), G_ACTION(action.get()));

    const std::string keys = accelerator(item.keyEquivalent, item.keyEquivalentModifierMask);
    if (!keys.empty()) {
        const std::string name = "app." + item.action;
        const char* accels[] = {keys.c_str(), nullptr};
        gtk_application_set_accels_for_action(application_, name.c_str(), accels);
    }
    return true;
}

void GtkMainMenu::onActivate(GSimpleAction* action, GVariant*, gpointer data) {
    auto* self = static_cast<GtkMainMenu*>(data);
    callFromC([self, action] {
        const std::string name = g_action_get_name(G_ACTION(action));
        const auto found = self->targets_.find(name);
        if (found != self->targets_.end())
            self->sendAction_(name, found->second);
    });
}

} // namespace platform::gtk
