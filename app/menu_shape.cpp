#include "app/menu_shape.h"

#include <Qt>

namespace vantelo {
namespace {

constexpr Section kMain = Section::MainMenu;
constexpr Section kContext = Section::ContexMenu;

MenuItemShape Separator() { return {0, kMain, 0, "", CheckedWhen::Never}; }

}  // namespace

const std::array<PopupShape, 4>& MenuBarShape()
{
    static const std::array<PopupShape, 4> shape = {{
        {0, {{ID_SHOW_CHANNELS, kMain, 4, "", CheckedWhen::Never}}},
        {1,
         {{ID_STOP, kMain, 5, "\tSpace", CheckedWhen::Never},
          {ID_MUTE, kMain, 6, "\tM", CheckedWhen::Never},
          Separator(),
          {ID_FULL_SCREEN, kMain, 7, "\tEnter", CheckedWhen::Never},
          {ID_ORIGINAL_SIZE, kMain, 8, "", CheckedWhen::OriginalSize},
          {ID_STRETCH_TO_FIT, kMain, 9, "", CheckedWhen::Stretched}}},
        {2,
         {{ID_HIDE_CONTROL, kMain, 10, "\tCtrl+H", CheckedWhen::ControlsHidden},
          {ID_HIDE_MENU, kMain, 11, "\tCtrl+M", CheckedWhen::MenuHidden},
          Separator(),
          {ID_ALWAYS_ON_TOP, kMain, 12, "\tCtrl+T", CheckedWhen::AlwaysOnTop},
          Separator(),
          {ID_LANGUAGE, kMain, 13, "", CheckedWhen::Never}}},
        {3,
         {{ID_ABOUT, kMain, 14, "", CheckedWhen::Never},
          {ID_DONATE, kMain, 15, "", CheckedWhen::Never}}},
    }};
    return shape;
}

const std::vector<MenuItemShape>& ContextMenuShape()
{
    // No language and no About item here.
    static const std::vector<MenuItemShape> shape = {
        {ID_SHOW_CHANNELS, kContext, 0, "", CheckedWhen::Never},
        Separator(),
        {ID_STOP, kContext, 1, "\tSpace", CheckedWhen::Never},
        {ID_MUTE, kContext, 2, "\tM", CheckedWhen::Never},
        Separator(),
        {ID_FULL_SCREEN, kContext, 3, "\tEnter", CheckedWhen::Never},
        {ID_ORIGINAL_SIZE, kContext, 4, "", CheckedWhen::OriginalSize},
        {ID_STRETCH_TO_FIT, kContext, 5, "", CheckedWhen::Stretched},
        Separator(),
        {ID_HIDE_CONTROL, kContext, 6, "\tCtrl+H", CheckedWhen::ControlsHidden},
        {ID_HIDE_MENU, kContext, 7, "\tCtrl+M", CheckedWhen::MenuHidden},
        Separator(),
        {ID_ALWAYS_ON_TOP, kContext, 8, "\tCtrl+T", CheckedWhen::AlwaysOnTop},
        Separator(),
        {ID_DONATE, kContext, 9, "", CheckedWhen::Never},
    };
    return shape;
}

bool IsChecked(CheckedWhen when, const SettingsRecord& settings)
{
    switch (when) {
    case CheckedWhen::Never:
        return false;
    case CheckedWhen::OriginalSize:
        return settings.originalSize != 0;
    case CheckedWhen::Stretched:
        return settings.originalSize == 0;
    case CheckedWhen::ControlsHidden:
        return settings.hideControl != 0;
    case CheckedWhen::MenuHidden:
        return settings.hideMenu != 0;
    case CheckedWhen::AlwaysOnTop:
        return settings.alwaysOnTop != 0;
    }
    return false;
}

const std::array<AcceleratorShape, 5>& AcceleratorTable()
{
    static const std::array<AcceleratorShape, 5> table = {{
        {Qt::Key_H, true, ID_KEY_HIDE_CONTROL},
        {Qt::Key_M, true, ID_KEY_HIDE_MENU},
        {Qt::Key_M, false, ID_KEY_MUTE},
        {Qt::Key_Space, false, ID_KEY_STOP},
        {Qt::Key_T, true, ID_KEY_ALWAYS_ON_TOP},
    }};
    return table;
}

}  // namespace vantelo
