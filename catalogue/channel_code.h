#pragma once

#include <array>
#include <cstdint>

namespace vantelo {

// A channel code names one catalogue channel: bits 0-15 hold its table number
// (1-17), bits 16-31 its index in that table. 0 means "no channel" (group nodes).
using ChannelCode = std::uint32_t;

inline constexpr int kTableCount = 17;
inline constexpr int kGenreTableCount = 10;
inline constexpr int kChannelCount = 408;

struct CatalogueTable {
    int number;               // 1-17
    const char* elementName;  // the table's element in Channels.xml
    int channelCount;
};

inline constexpr std::array<CatalogueTable, kTableCount> kCatalogueTables = {{
    {1, "Music", 51},    {2, "Games", 6},     {3, "Movies", 8},   {4, "News", 31},
    {5, "Entertainment", 17}, {6, "Lifestyle", 14}, {7, "Shopping", 16}, {8, "Kids", 4},
    {9, "Sport", 26},    {10, "Other", 7},    {11, "USA", 34},    {12, "Russia", 14},
    {13, "Germany", 57}, {14, "France", 26},  {15, "UK", 21},     {16, "Italy", 34},
    {17, "Spain", 42},
}};

constexpr ChannelCode MakeChannelCode(int table, int index)
{
    return (static_cast<ChannelCode>(index) << 16) | static_cast<ChannelCode>(table);
}

constexpr int TableOf(ChannelCode code) { return static_cast<int>(code & 0xFFFFu); }
constexpr int IndexOf(ChannelCode code) { return static_cast<int>(code >> 16); }

constexpr bool IsCountryTable(int table) { return table > kGenreTableCount && table <= kTableCount; }

// True for the code of a channel that the catalogue holds. Codes of favourites
// come from a file and may name nothing; they must be checked before any lookup.
constexpr bool IsValidChannelCode(ChannelCode code)
{
    const int table = TableOf(code);
    if (table < 1 || table > kTableCount)
        return false;
    return IndexOf(code) < kCatalogueTables[table - 1].channelCount;
}

}  // namespace vantelo
