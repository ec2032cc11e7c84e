#include "browser/catalogue_tree_shape.h"

#include <array>

#include "catalogue/channel_code.h"

namespace vantelo {
namespace {

// Genre tables in the order their nodes stand at root level, after the
// countries node.
constexpr std::array<int, kGenreTableCount> kGenreOrder = {4, 5, 6, 1, 3, 2, 9, 8, 7, 10};

// Country tables in the order their nodes stand under the countries node.
constexpr std::array<int, 7> kCountryOrder = {14, 13, 16, 12, 17, 15, 11};

// Where a country's channels split between its own node and its "more
// channels" sub-node: the first index under the sub-node; 0 means no sub-node.
constexpr int FirstIndexUnderSubNode(int table)
{
    switch (table) {
    case 11: return 24;
    case 13: return 33;
    case 14: return 19;
    case 16: return 19;
    case 17: return 26;
    default: return 0;
    }
}

CatalogueTreeShape BuildShape()
{
    CatalogueTreeShape shape;
    std::array<int, kTableCount + 1> nodeOfTable{};
    std::array<int, kTableCount + 1> subNodeOfTable{};

    const int countriesNode = 0;
    shape.groupNodes.push_back({Section::Groups, 0, kCountriesNodeImage, -1});
    for (const int table : kGenreOrder) {
        nodeOfTable[table] = static_cast<int>(shape.groupNodes.size());
        shape.groupNodes.push_back({Section::Groups, table, table, -1});
    }
    for (const int table : kCountryOrder) {
        const int country = table - kGenreTableCount - 1;
        nodeOfTable[table] = static_cast<int>(shape.groupNodes.size());
        shape.groupNodes.push_back({Section::Countries, country, kFirstCountryImage + country, countriesNode});
        if (FirstIndexUnderSubNode(table) != 0) {
            subNodeOfTable[table] = static_cast<int>(shape.groupNodes.size());
            shape.groupNodes.push_back({Section::Groups, 11, kMoreChannelsImage, nodeOfTable[table]});
        }
    }

    for (const CatalogueTable& table : kCatalogueTables) {
        const int split = FirstIndexUnderSubNode(table.number);
        const int lastOwn = split != 0 ? split - 1 : table.channelCount - 1;
        shape.leafRuns.push_back({table.number, 0, lastOwn, nodeOfTable[table.number]});
        if (split != 0)
            shape.leafRuns.push_back({table.number, split, table.channelCount - 1, subNodeOfTable[table.number]});
    }
    return shape;
}

}  // namespace

const CatalogueTreeShape& CatalogueTree()
{
    static const CatalogueTreeShape shape = BuildShape();
    return shape;
}

}  // namespace vantelo
