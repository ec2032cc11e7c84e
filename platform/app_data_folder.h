#pragma once

#include <QString>

namespace vantelo {

// The per-user folder that holds Settings.xml and Favorites.xml:
// $XDG_CONFIG_HOME/Vantelo, or ~/.config/Vantelo when that variable is unset,
// empty or not an absolute path (as the XDG base directory rules say).
QString AppDataFolder();

}  // namespace vantelo
