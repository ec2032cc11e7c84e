#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "browser/favorites_store.h"
#include "support/file_bytes.h"

namespace vantelo {
namespace {

using test::ReadBytes;

// One favourite as the three lists hold it, so that whole lists compare at once.
struct Favorite {
    QString name;
    ChannelCode code;
    quint32 icon;

    bool operator==(const Favorite&) const = default;
};

void PrintTo(const Favorite& favorite, std::ostream* out)
{
    *out << '{' << favorite.name.toStdString() << ", " << favorite.code << ", " << favorite.icon << '}';
}

std::vector<Favorite> Entries(const FavoritesLists& lists)
{
    std::vector<Favorite> entries;
    EXPECT_EQ(lists.codes.size(), lists.names.size());
    EXPECT_EQ(lists.icons.size(), lists.names.size());
    for (qsizetype position = 0; position < lists.size(); ++position)
        entries.push_back({lists.names.at(position), lists.codes.at(position), lists.icons.at(position)});
    return entries;
}

FavoritesLists ListsOf(const std::vector<Favorite>& entries)
{
    FavoritesLists lists;
    for (const Favorite& entry : entries) {
        lists.names.append(entry.name);
        lists.codes.append(entry.code);
        lists.icons.append(entry.icon);
    }
    return lists;
}

void WriteBytes(const QString& path, const QByteArray& content)
{
    ASSERT_TRUE(test::WriteBytes(path, content));
}

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";

// Every load starts with this favourite in the lists: a file's favourites come
// after it, and a failed load leaves it alone.
const Favorite kExisting{QStringLiteral("existing"), MakeChannelCode(4, 2), 3};

struct FavoritesFileCase {
    const char* name;
    std::optional<QByteArray> content;          // nullopt: no file at all
    std::optional<std::vector<Favorite>> read;  // nullopt: the load fails
};

// Names the case, not its bytes, wherever Google Test shows the parameter.
void PrintTo(const FavoritesFileCase& c, std::ostream* out) { *out << c.name; }

class FavoritesFileTest : public testing::TestWithParam<FavoritesFileCase> {};

TEST_P(FavoritesFileTest, AppendsWhatItReads)
{
    const FavoritesFileCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Favorites.xml"));
    if (c.content)
        WriteBytes(path, *c.content);
    FavoritesLists lists = ListsOf({kExisting});

    const bool loaded = LoadFavorites(path, lists);

    std::vector<Favorite> expected{kExisting};
    if (c.read)
        expected.insert(expected.end(), c.read->begin(), c.read->end());
    EXPECT_EQ(loaded, c.read.has_value());
    EXPECT_EQ(Entries(lists), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FavoritesFileTest,
    testing::Values(
        FavoritesFileCase{"channels_in_file_order",
                          kDeclaration + "<Favorites><Channel name='One' id='65549' icon='2'/>"
                                         "<Channel name='Two' id='1' icon='0'/></Favorites>",
                          std::vector<Favorite>{{"One", 65549, 2}, {"Two", 1, 0}}},
        FavoritesFileCase{"any_element_names",
                          "<List><Fav name='a' id='1' icon='2'/><Other name='b' id='3' icon='4'/></List>",
                          std::vector<Favorite>{{"a", 1, 2}, {"b", 3, 4}}},
        FavoritesFileCase{"comment_before_the_first_channel_reads_none",
                          "<Favorites><!-- mine --><Channel name='a' id='1' icon='2'/></Favorites>",
                          std::vector<Favorite>{}},
        FavoritesFileCase{"text_before_the_first_channel_reads_none",
                          "<Favorites>words<Channel name='a' id='1' icon='2'/></Favorites>", std::vector<Favorite>{}},
        FavoritesFileCase{"comments_between_channels_are_skipped",
                          "<Favorites><Channel name='a' id='1' icon='2'/><!-- x -->text<Channel name='b' id='3' "
                          "icon='4'/></Favorites>",
                          std::vector<Favorite>{{"a", 1, 2}, {"b", 3, 4}}},
        FavoritesFileCase{"only_children_of_the_root",
                          "<Favorites><Group name='g' id='5' icon='6'><Channel name='inner' id='1' icon='1'/></Group>"
                          "</Favorites>",
                          std::vector<Favorite>{{"g", 5, 6}}},
        FavoritesFileCase{"missing_attributes", "<Favorites><Channel/><Channel name='only name'/></Favorites>",
                          std::vector<Favorite>{{"", 0, 0}, {"only name", 0, 0}}},
        FavoritesFileCase{"lenient_numbers",
                          "<Favorites><Channel name='a' id='12abc' icon='  -7'/>"
                          "<Channel name='b' id='abc' icon='99999999999'/></Favorites>",
                          std::vector<Favorite>{{"a", 12, 4294967289u}, {"b", 0, 2147483647u}}},
        FavoritesFileCase{"negative_codes_give_the_high_codes",
                          "<Favorites><Channel name='a' id='-2147483631' icon='-1'/></Favorites>",
                          std::vector<Favorite>{{"a", 0x80000011u, 0xFFFFFFFFu}}},
        FavoritesFileCase{"entities_and_non_ascii",
                          "<Favorites><Channel name='a &amp; &lt;b&gt; &quot;c&quot; Fran&#xE7;ais \xF0\x9F\x93\xBA' "
                          "id='1' icon='2'/></Favorites>",
                          std::vector<Favorite>{{QStringLiteral("a & <b> \"c\" Fran\u00E7ais \U0001F4FA"), 1, 2}}},
        FavoritesFileCase{"long_names_are_cut",
                          "<Favorites><Channel name='" + QByteArray(300, 'n') + "' id='1' icon='2'/></Favorites>",
                          std::vector<Favorite>{{QString(kMaxFavoriteNameUnits, QLatin1Char('n')), 1, 2}}},
        FavoritesFileCase{"duplicates_are_kept",
                          "<Favorites><Channel name='existing' id='131076' icon='3'/>"
                          "<Channel name='existing' id='131076' icon='3'/></Favorites>",
                          std::vector<Favorite>{kExisting, kExisting}},
        FavoritesFileCase{"empty_root", kDeclaration + "<Favorites />\n", std::vector<Favorite>{}},
        FavoritesFileCase{"no_root_element", "<?xml version='1.0'?><!-- none yet -->", std::vector<Favorite>{}},
        FavoritesFileCase{"unclosed_root_fails", "<Favorites><Channel name='a' id='1' icon='2'/>", std::nullopt},
        FavoritesFileCase{"not_xml_fails", "One,65549,2\n", std::nullopt},
        FavoritesFileCase{"zero_byte_file_fails", QByteArray(), std::nullopt},
        FavoritesFileCase{"missing_file_fails", std::nullopt, std::nullopt}),
    [](const testing::TestParamInfo<FavoritesFileCase>& row) { return row.param.name; });

TEST(SaveFavoritesTest, WritesTheFileExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Favorites.xml"));

    ASSERT_TRUE(SaveFavorites(path, ListsOf({{QStringLiteral("News 24"), MakeChannelCode(13, 33), 7},
                                             {QString::fromUtf8("Caf\xC3\xA9 & <Co>"), 65549, 0}})));
    EXPECT_EQ(ReadBytes(path), kDeclaration +
                                   "<Favorites>\n"
                                   "    <Channel name=\"News 24\" id=\"2162701\" icon=\"7\" />\n"
                                   "    <Channel name=\"Caf\xC3\xA9 &amp; &lt;Co&gt;\" id=\"65549\" icon=\"0\" />\n"
                                   "</Favorites>\n");

    ASSERT_TRUE(SaveFavorites(path, FavoritesLists()));
    EXPECT_EQ(ReadBytes(path), kDeclaration + "<Favorites />\n");
}

TEST(SaveFavoritesTest, WhatIsSavedLoadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Favorites.xml"));
    const std::vector<Favorite> saved{
        {QStringLiteral("Tom & Jerry <Kids> \"Best\" 'of'"), MakeChannelCode(8, 3), 12},
        {QString::fromUtf8(" \xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD1\x8B\xD0\xB9 \xF0\x9F\x93\xBA "), 65549, 0},
        {QString(), 0, 0},
        {QStringLiteral("same"), 18, 1},
        {QStringLiteral("same"), 18, 1},
    };

    ASSERT_TRUE(SaveFavorites(path, ListsOf(saved)));
    FavoritesLists loaded;
    ASSERT_TRUE(LoadFavorites(path, loaded));

    EXPECT_EQ(Entries(loaded), saved);
}

TEST(SaveFavoritesTest, NamesAreCutBetweenCharactersWhenWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Favorites.xml"));
    const QString eAcute = QString::fromUtf8("\xC3\xA9");  // two bytes in UTF-8

    ASSERT_TRUE(SaveFavorites(path, ListsOf({{QString(300, QLatin1Char('a')), 1, 1}, {eAcute.repeated(200), 2, 2}})));
    FavoritesLists loaded;
    ASSERT_TRUE(LoadFavorites(path, loaded));

    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded.names.at(0), QString(255, QLatin1Char('a')));
    EXPECT_EQ(loaded.names.at(1), eAcute.repeated(127));  // the 128th would be split at byte 255
}

TEST(SaveFavoritesTest, ListsOfDifferentLengthsWriteNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Favorites.xml"));
    WriteBytes(path, "old");
    FavoritesLists lists = ListsOf({{QStringLiteral("a"), 1, 1}});
    lists.names.append(QStringLiteral("no code"));

    EXPECT_THROW(SaveFavorites(path, lists), InvalidArgumentError);
    EXPECT_EQ(ReadBytes(path), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Favorites.xml")});
}

// Codes travel through the file as signed 32-bit numbers.
struct CodeCase {
    const char* name;
    ChannelCode code;
    const char* written;
};

void PrintTo(const CodeCase& c, std::ostream* out) { *out << c.name; }

class FavoriteCodeTest : public testing::TestWithParam<CodeCase> {};

TEST_P(FavoriteCodeTest, IsWrittenSignedAndReadBack)
{
    const CodeCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Favorites.xml"));

    ASSERT_TRUE(SaveFavorites(path, ListsOf({{QStringLiteral("x"), c.code, c.code}})));
    FavoritesLists loaded;
    ASSERT_TRUE(LoadFavorites(path, loaded));

    const QByteArray number = QByteArray("\"") + c.written + '"';
    EXPECT_TRUE(ReadBytes(path).contains(" id=" + number + " icon=" + number + " />")) << ReadBytes(path).constData();
    EXPECT_EQ(Entries(loaded), (std::vector<Favorite>{{QStringLiteral("x"), c.code, c.code}}));
}

INSTANTIATE_TEST_SUITE_P(Codes, FavoriteCodeTest,
                         testing::Values(CodeCase{"table_13_index_33", MakeChannelCode(13, 33), "2162701"},
                                         CodeCase{"zero", 0, "0"},
                                         CodeCase{"largest_positive", 0x7FFFFFFFu, "2147483647"},
                                         CodeCase{"top_bit_set", 0x80000011u, "-2147483631"},
                                         CodeCase{"all_bits_set", 0xFFFFFFFFu, "-1"}),
                         [](const testing::TestParamInfo<CodeCase>& row) { return row.param.name; });

}  // namespace
}  // namespace vantelo
