#pragma once

#include <array>
#include <vector>

#include <QString>

#include "app/command_ids.h"
#include "app/settings_record.h"
#include "lang/language_texts.h"

namespace vantelo {

// Which option puts a check mark on a menu item when the menus are built.
enum class CheckedWhen { Never, OriginalSize, Stretched, ControlsHidden, MenuHidden, AlwaysOnTop };

// One item of a menu; command 0 is a separator. The text is the entry of the
// language section at that position, followed by the suffix (a tab and the
// key that gives the same command).
struct MenuItemShape {
    int command;
    Section section;
    int entry;
    const char* suffix;
    CheckedWhen checked;
};

struct PopupShape {
    int titleEntry;  // MainMenu entry of the drop-down's title
    std::vector<MenuItemShape> items;
};

// The menu bar's four drop-down menus, in bar order.
const std::array<PopupShape, 4>& MenuBarShape();
// The context menu of the main window.
const std::vector<MenuItemShape>& ContextMenuShape();

bool IsChecked(CheckedWhen when, const SettingsRecord& settings);

// The key table: each key and the command it gives.
struct AcceleratorShape {
    int key;        // a Qt::Key
    bool control;   // Ctrl held (and nothing else)
    int command;
};
const std::array<AcceleratorShape, 5>& AcceleratorTable();

}  // namespace vantelo
