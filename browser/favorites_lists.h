#pragma once

#include <QString>

#include "catalogue/channel_code.h"
#include "platform/bounded_list.h"

namespace vantelo {

// The user's favourites as three parallel lists: entry i of each describes
// favourite i, in display order. The favourites view mirrors them item for item.
struct FavoritesLists {
    BoundedList<QString> names;      // as shown when the favourite was added
    BoundedList<ChannelCode> codes;  // unvalidated when read from a file
    BoundedList<quint32> icons;      // index into the channel image list

    qsizetype size() const { return names.size(); }
};

}  // namespace vantelo
