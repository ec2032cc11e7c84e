#include <gtest/gtest.h>

#include <map>

#include "browser/catalogue_tree_shape.h"
#include "browser/channel_window_layout.h"
#include "catalogue/channel_code.h"

namespace vantelo {
namespace {

struct NodeView {
    Section section;
    int entry;
    int image;
    bool operator==(const NodeView&) const = default;
};

std::vector<NodeView> Children(const CatalogueTreeShape& shape, int parent)
{
    std::vector<NodeView> children;
    for (const TreeGroupNode& node : shape.groupNodes) {
        if (node.parent == parent)
            children.push_back({node.section, node.entry, node.image});
    }
    return children;
}

int IndexOfNode(const CatalogueTreeShape& shape, Section section, int entry, int parent)
{
    for (std::size_t i = 0; i < shape.groupNodes.size(); ++i) {
        const TreeGroupNode& node = shape.groupNodes[i];
        if (node.section == section && node.entry == entry && node.parent == parent)
            return static_cast<int>(i);
    }
    return -1;
}

TEST(CatalogueTreeShapeTest, RootLevelInDisplayOrder)
{
    const std::vector<NodeView> expected = {
        {Section::Groups, 0, 11}, {Section::Groups, 4, 4}, {Section::Groups, 5, 5}, {Section::Groups, 6, 6},
        {Section::Groups, 1, 1},  {Section::Groups, 3, 3}, {Section::Groups, 2, 2}, {Section::Groups, 9, 9},
        {Section::Groups, 8, 8},  {Section::Groups, 7, 7}, {Section::Groups, 10, 10},
    };
    EXPECT_EQ(Children(CatalogueTree(), -1), expected);
}

TEST(CatalogueTreeShapeTest, CountriesInDisplayOrderWithTheirSubNodes)
{
    const CatalogueTreeShape& shape = CatalogueTree();
    const std::vector<NodeView> countries = {
        {Section::Countries, 3, 24}, {Section::Countries, 2, 23}, {Section::Countries, 5, 26},
        {Section::Countries, 1, 22}, {Section::Countries, 6, 27}, {Section::Countries, 4, 25},
        {Section::Countries, 0, 21},
    };
    EXPECT_EQ(Children(shape, 0), countries);

    const std::map<int, bool> hasSubNode = {{3, true}, {2, true}, {5, true}, {1, false},
                                            {6, true}, {4, false}, {0, true}};
    for (const auto& [entry, expected] : hasSubNode) {
        const int country = IndexOfNode(shape, Section::Countries, entry, 0);
        const auto children = Children(shape, country);
        EXPECT_EQ(!children.empty(), expected) << "Countries entry " << entry;
        if (expected) {
            EXPECT_EQ(children, (std::vector<NodeView>{{Section::Groups, 11, 12}}));
        }
    }
    EXPECT_EQ(shape.groupNodes.size(), 23u);
}

TEST(CatalogueTreeShapeTest, LeavesSplitBetweenCountryAndSubNode)
{
    const CatalogueTreeShape& shape = CatalogueTree();
    struct Run {
        int table, first, last;
        bool underSubNode;
    };
    const Run expected[] = {
        {1, 0, 50, false},  {2, 0, 5, false},   {3, 0, 7, false},   {4, 0, 30, false},  {5, 0, 16, false},
        {6, 0, 13, false},  {7, 0, 15, false},  {8, 0, 3, false},   {9, 0, 25, false},  {10, 0, 6, false},
        {11, 0, 23, false}, {11, 24, 33, true}, {12, 0, 13, false}, {13, 0, 32, false}, {13, 33, 56, true},
        {14, 0, 18, false}, {14, 19, 25, true}, {15, 0, 20, false}, {16, 0, 18, false}, {16, 19, 33, true},
        {17, 0, 25, false}, {17, 26, 41, true},
    };
    ASSERT_EQ(shape.leafRuns.size(), std::size(expected));
    int leaves = 0;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const TreeLeafRun& run = shape.leafRuns[i];
        const TreeGroupNode& parent = shape.groupNodes[static_cast<std::size_t>(run.parent)];
        EXPECT_EQ(run.table, expected[i].table);
        EXPECT_EQ(run.firstIndex, expected[i].first);
        EXPECT_EQ(run.lastIndex, expected[i].last);
        if (expected[i].underSubNode) {
            EXPECT_EQ(parent.image, kMoreChannelsImage) << "table " << run.table;
        } else if (IsCountryTable(run.table)) {
            EXPECT_EQ(parent.section, Section::Countries);
            EXPECT_EQ(parent.entry, run.table - 11);
        } else {
            EXPECT_EQ(parent.section, Section::Groups);
            EXPECT_EQ(parent.entry, run.table);
        }
        leaves += run.lastIndex - run.firstIndex + 1;
    }
    EXPECT_EQ(leaves, kChannelCount);
}

TEST(ChannelWindowLayoutTest, ThreeHundredByFiveHundred)
{
    const ChannelWindowLayout layout = LayOutChannelWindow(300, 500, 60, 96);
    EXPECT_EQ(layout.tabs, QRect(2, 4, 296, 30));
    EXPECT_EQ(layout.views, QRect(2, 25, 296, 370));
    EXPECT_EQ(layout.description, QRect(2, 397, 296, 70));
    EXPECT_EQ(layout.favoritesBar, QRect(142, 468, 96, 30));
    EXPECT_EQ(layout.playBar, QRect(238, 468, 62, 30));
    EXPECT_EQ(layout.favoritesBar.right() + 1, layout.playBar.left()) << "the bars meet";
    EXPECT_EQ(layout.playBar.right() + 1, 300) << "the play bar ends at the right edge";
}

}  // namespace
}  // namespace vantelo
