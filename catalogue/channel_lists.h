#pragma once

#include <array>

#include <QString>

#include "catalogue/channel_code.h"
#include "platform/bounded_list.h"

namespace vantelo {

// Channel names or descriptions: one list per catalogue table (element t - 1
// for table t), position i for channel index i.
using ChannelLists = std::array<BoundedList<QString>, kTableCount>;

// Longest name and description, in UTF-16 code units; longer texts are cut.
inline constexpr qsizetype kMaxChannelNameUnits = 999;
inline constexpr qsizetype kMaxChannelDescriptionUnits = 4999;

// The entry of a channel. A code that names no catalogue channel gives an empty
// text; a valid code whose list is too short raises InvalidArgumentError.
inline QString ChannelText(const ChannelLists& lists, ChannelCode code)
{
    if (!IsValidChannelCode(code))
        return {};
    return lists[TableOf(code) - 1].at(IndexOf(code));
}

inline void ClearChannelLists(ChannelLists& lists)
{
    for (auto& list : lists)
        list.clear();
}

}  // namespace vantelo
