#pragma once

#include "CommandId.h"

#include <span>
#include <string_view>

namespace kqvdr {

struct CommandInfo {
    CommandId id;
    std::string_view objectName;
    std::string_view text;      // menu text with its & accelerator
    std::string_view toolTip;   // short name for the toolbar
    std::string_view statusTip; // one line of fly-by help in the status bar
    std::string_view icon;      // resource path, empty when not on the toolbar
    bool checkable = false;
    bool viewCommand = false; // routed to the control view
};

struct MenuInfo {
    std::string_view title;
    // A CommandId of 0 in this list stands for a separator.
    std::span<const CommandId> items;
};

// Every command of the frame, menu items and the toolbar-only web site.
std::span<const CommandInfo> allCommands();

const CommandInfo& commandInfo(CommandId id);

std::span<const MenuInfo> mainMenu();

// Toolbar buttons left to right; a CommandId of 0 stands for a separator.
std::span<const CommandId> toolbarLayout();

inline constexpr CommandId separator = CommandId{0};

} // namespace kqvdr
