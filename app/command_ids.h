#pragma once

namespace vantelo {

// Commands of the main window: menu items, context menu items and keys.
enum CommandId : int {
    IDOK = 1,  // Enter
    ID_SHOW_CHANNELS = 104,
    ID_STOP = 105,
    ID_MUTE = 106,
    ID_FULL_SCREEN = 107,
    ID_ORIGINAL_SIZE = 108,
    ID_STRETCH_TO_FIT = 109,
    ID_HIDE_MENU = 111,
    ID_HIDE_CONTROL = 112,
    ID_ALWAYS_ON_TOP = 113,
    ID_LANGUAGE = 114,
    ID_ABOUT = 115,
    ID_DONATE = 116,
    ID_KEY_STOP = 32772,
    ID_KEY_MUTE = 32773,
    ID_KEY_HIDE_CONTROL = 32775,
    ID_KEY_HIDE_MENU = 32776,
    ID_KEY_ALWAYS_ON_TOP = 32778,
    ID_HELP = 57670,
};

}  // namespace vantelo
