#pragma once

#include <QString>

#include "catalogue/channel_lists.h"
#include "lang/language_pack.h"

namespace vantelo {

// Appends the channel names and descriptions of <languagesRoot>/<language>/
// Channels.xml to the lists. When that file cannot be opened or does not parse
// (or the name is not a plain folder name), the English pack's file is read
// instead, silently. Returns false when the English file cannot be read either;
// the lists are then untouched.
bool LoadChannels(const QString& language, ChannelLists& names, ChannelLists& descriptions,
                  const QString& languagesRoot = kLanguagesFolder);

}  // namespace vantelo
