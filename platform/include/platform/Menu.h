#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class ActionTarget;

namespace ModifierFlags {
inline constexpr std::uint64_t Option = 0x80000;
inline constexpr std::uint64_t Command = 0x100000;
} // namespace ModifierFlags

struct Menu;

// One entry of a menu: plain data that the backend draws.
struct MenuItem {
    std::string title;
    // The action sent when the item is chosen; empty for none.
    std::string action;
    // One character, or empty for none. Command stands for the desktop's primary modifier.
    std::string keyEquivalent;
    std::uint64_t keyEquivalentModifierMask = ModifierFlags::Command;
    // Not owned. Without a target the action goes to the application's delegate.
    ActionTarget* target = nullptr;
    std::shared_ptr<const Menu> submenu;
    bool isSeparator = false;

    static MenuItem separatorItem() {
        MenuItem separator;
        separator.isSeparator = true;
        return separator;
    }
};

struct Menu {
    std::string title;
    std::vector<MenuItem> items;

    void addItem(MenuItem item) { items.push_back(std::move(item)); }
    // The new item gets the Command mask, as on the original platform.
    void addItemWithTitle(std::string itemTitle, std::string itemAction, std::string keyEquivalent) {
        MenuItem item;
        item.title = std::move(itemTitle);
        item.action = std::move(itemAction);
        item.keyEquivalent = std::move(keyEquivalent);
        addItem(std::move(item));
    }
};

} // namespace platform
