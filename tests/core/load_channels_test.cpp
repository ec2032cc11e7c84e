#include <gtest/gtest.h>

#include <QStringList>

#include "catalogue/load_channels.h"
#include "support/language_folder.h"

namespace vantelo {
namespace {

using test::LanguageFolder;

QStringList Names(const ChannelLists& lists, int table) { return lists[table - 1].items(); }

struct ChannelsCase {
    const char* name;
    QByteArray xml;
    int table;
    QStringList expectedNames;
    QStringList expectedDescriptions;
};

class ChannelsXmlTest : public testing::TestWithParam<ChannelsCase> {};

TEST_P(ChannelsXmlTest, ReadsTheTable)
{
    const ChannelsCase& c = GetParam();
    LanguageFolder folder;
    folder.write(QStringLiteral("Test"), QStringLiteral("Channels.xml"), c.xml);
    ChannelLists names;
    ChannelLists descriptions;

    ASSERT_TRUE(LoadChannels(QStringLiteral("Test"), names, descriptions, folder.root()));
    EXPECT_EQ(Names(names, c.table), c.expectedNames);
    EXPECT_EQ(Names(descriptions, c.table), c.expectedDescriptions);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChannelsXmlTest,
    testing::Values(
        ChannelsCase{"tables_in_any_order",
                     "<C><Sport><c name='S0' description='d0'/></Sport><News><c name='N0' description='n0'/>"
                     "<c name='N1' description='n1'/></News></C>",
                     4, {"N0", "N1"}, {"n0", "n1"}},
        ChannelsCase{"first_table_of_a_name_wins",
                     "<C><News><c name='first'/></News><News><c name='second'/></News></C>", 4, {"first"}, {""}},
        ChannelsCase{"comment_between_channels_keeps_positions",
                     "<C><News><c name='A'/><!-- gone --><c name='B'/></News></C>", 4, {"A", "B"}, {"", ""}},
        ChannelsCase{"comment_first_empties_the_table",
                     "<C><Sport><!-- x --><c name='A' description='a'/></Sport></C>", 9, {}, {}},
        ChannelsCase{"missing_attributes_still_take_a_position",
                     "<C><Kids><c description='only description'/><c name='only name'/><c/></Kids></C>", 8,
                     {"", "only name", ""}, {"only description", "", ""}},
        ChannelsCase{"entities_and_spaces_as_written",
                     "<C><Movies><c name=' Law &amp; Order ' description='a &lt;b&gt; &#x263A;'/></Movies></C>", 3,
                     {" Law & Order "}, {QString::fromUtf8("a <b> \xE2\x98\xBA")}},
        ChannelsCase{"element_names_match_case",
                     "<C><news><c name='lower'/></news><NEWS><c name='upper'/></NEWS></C>", 4, {}, {}},
        ChannelsCase{"name_and_description_limits",
                     "<C><Other><c name='" + QByteArray(1200, 'n') + "' description='" + QByteArray(6000, 'd') +
                         "'/></Other></C>",
                     10, {QString(kMaxChannelNameUnits, QLatin1Char('n'))},
                     {QString(kMaxChannelDescriptionUnits, QLatin1Char('d'))}},
        ChannelsCase{"extra_channels_are_kept",
                     "<C><Kids><c name='0'/><c name='1'/><c name='2'/><c name='3'/><c name='4'/></Kids></C>", 8,
                     {"0", "1", "2", "3", "4"}, {"", "", "", "", ""}}),
    [](const testing::TestParamInfo<ChannelsCase>& row) { return row.param.name; });

const QByteArray kEnglishChannels = "<C><Music><c name='English music' description='e'/></Music></C>";

TEST(LoadChannelsTest, FallsBackToEnglishSilently)
{
    const QByteArray unreadable[] = {QByteArray(), "<C><Music>", "not xml at all"};
    for (const QByteArray& content : unreadable) {
        LanguageFolder folder;
        folder.write(QStringLiteral("English"), QStringLiteral("Channels.xml"), kEnglishChannels);
        folder.write(QStringLiteral("Broken"), QStringLiteral("Channels.xml"), content);
        ChannelLists names;
        ChannelLists descriptions;
        ASSERT_TRUE(LoadChannels(QStringLiteral("Broken"), names, descriptions, folder.root()));
        EXPECT_EQ(Names(names, 1), QStringList{QStringLiteral("English music")}) << content.constData();
    }
    for (const QString& name : {QStringLiteral("Missing"), QStringLiteral("../x"), QString()}) {
        LanguageFolder folder;
        folder.write(QStringLiteral("English"), QStringLiteral("Channels.xml"), kEnglishChannels);
        ChannelLists names;
        ChannelLists descriptions;
        ASSERT_TRUE(LoadChannels(name, names, descriptions, folder.root()));
        EXPECT_EQ(Names(names, 1), QStringList{QStringLiteral("English music")}) << name.toStdString();
    }
}

TEST(LoadChannelsTest, FailsAndLeavesTheListsWhenNoFileCanBeRead)
{
    LanguageFolder folder;
    folder.write(QStringLiteral("English"), QStringLiteral("Channels.xml"), "<C><Music>");
    ChannelLists names;
    ChannelLists descriptions;
    names[0].append(QStringLiteral("kept"));
    EXPECT_FALSE(LoadChannels(QStringLiteral("Missing"), names, descriptions, folder.root()));
    EXPECT_EQ(Names(names, 1), QStringList{QStringLiteral("kept")});
}

TEST(ChannelTextTest, InvalidCodesGiveEmptyTextAndShortListsRaise)
{
    ChannelLists lists;
    lists[12].append(QStringLiteral("zero"));
    lists[12].append(QStringLiteral("one"));
    EXPECT_EQ(ChannelText(lists, 65549), QStringLiteral("one"));
    EXPECT_EQ(ChannelText(lists, 0), QString());
    EXPECT_EQ(ChannelText(lists, 18), QString());
    EXPECT_EQ(ChannelText(lists, MakeChannelCode(13, 57)), QString());
    EXPECT_THROW(ChannelText(lists, MakeChannelCode(13, 2)), InvalidArgumentError);
}

}  // namespace
}  // namespace vantelo
