#pragma once

#include <vector>

#include "lang/language_texts.h"

namespace vantelo {

// The fixed shape of the catalogue tree: which group nodes exist, in which
// order, under which parent and with which image, and which channels of each
// table hang under which node. Captions come from the language texts and the
// channel names when the tree is built.

inline constexpr int kChannelLeafImage = 0;
inline constexpr int kCountriesNodeImage = 11;
inline constexpr int kMoreChannelsImage = 12;
inline constexpr int kFirstCountryImage = 21;

struct TreeGroupNode {
    Section section;  // Groups or Countries
    int entry;        // position of the caption in that section
    int image;        // index into the channel image list
    int parent;       // index of the parent in groupNodes, or -1 at root level
};

struct TreeLeafRun {
    int table;
    int firstIndex;
    int lastIndex;  // inclusive
    int parent;     // index in groupNodes
};

struct CatalogueTreeShape {
    std::vector<TreeGroupNode> groupNodes;  // in insertion order
    std::vector<TreeLeafRun> leafRuns;      // in insertion order: table 1 to 17
};

const CatalogueTreeShape& CatalogueTree();

}  // namespace vantelo
