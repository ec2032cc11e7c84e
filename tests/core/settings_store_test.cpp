#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "app/settings_store.h"
#include "support/file_bytes.h"

namespace vantelo {

// Shows a whole record when a comparison fails.
static void PrintTo(const SettingsRecord& record, std::ostream* out)
{
    const auto rect = [out](const WindowRect& r) {
        *out << '{' << r.x << ',' << r.y << ',' << r.width << ',' << r.height << '}';
    };
    *out << "language=" << record.language.toStdString() << " main=";
    rect(record.mainWindowPos);
    *out << " channels=";
    rect(record.channelWindowPos);
    *out << " volume=" << record.volumeSound << " mute=" << record.muteSound << " original=" << record.originalSize
         << " hideControl=" << record.hideControl << " hideMenu=" << record.hideMenu << " onTop=" << record.alwaysOnTop;
}

namespace {

using test::ReadBytes;

void WriteBytes(const QString& path, const QByteArray& content)
{
    ASSERT_TRUE(test::WriteBytes(path, content));
}

// Differs from the defaults in every field, so that any field a failed load
// touched shows.
SettingsRecord Untouched()
{
    SettingsRecord record;
    record.mainWindowPos = {-1, -2, -3, -4};
    record.channelWindowPos = {-5, -6, -7, -8};
    record.language = QStringLiteral("untouched");
    record.hideControl = 11;
    record.hideMenu = 12;
    record.muteSound = 13;
    record.volumeSound = 14;
    record.alwaysOnTop = 15;
    record.originalSize = 16;
    return record;
}

// The nine elements as this program names them, every value different.
const QByteArray kElements =
    "<Language name='Deutsch'/>"
    "<MainWindowPos posx='1' posy='2' width='3' height='4'/>"
    "<ChannelWindowPos posx='-5' posy='6' width='7' height='8'/>"
    "<VolumeSound id='9'/><MuteSound id='-1'/><OriginalSize id='10'/>"
    "<HideControl id='2'/><HideMenu id='11'/><AlwaysOnTop id='12'/>";

SettingsRecord ElementsRecord(const std::function<void(SettingsRecord&)>& change = {})
{
    SettingsRecord record;
    record.language = QStringLiteral("Deutsch");
    record.mainWindowPos = {1, 2, 3, 4};
    record.channelWindowPos = {-5, 6, 7, 8};
    record.volumeSound = 9;
    record.muteSound = -1;
    record.originalSize = 10;
    record.hideControl = 2;
    record.hideMenu = 11;
    record.alwaysOnTop = 12;
    if (change)
        change(record);
    return record;
}

struct SettingsFileCase {
    const char* name;
    std::optional<QByteArray> content;       // nullopt: no file at all
    std::optional<SettingsRecord> expected;  // nullopt: the load fails
};

// Names the case, not its bytes, wherever Google Test shows the parameter.
void PrintTo(const SettingsFileCase& c, std::ostream* out) { *out << c.name; }

class SettingsFileTest : public testing::TestWithParam<SettingsFileCase> {};

TEST_P(SettingsFileTest, ReadsOrLeavesTheRecord)
{
    const SettingsFileCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.xml"));
    if (c.content)
        WriteBytes(path, *c.content);
    SettingsRecord record = Untouched();

    const bool loaded = LoadSettings(path, record);

    EXPECT_EQ(loaded, c.expected.has_value());
    EXPECT_EQ(record, c.expected.value_or(Untouched()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileTest,
    testing::Values(
        SettingsFileCase{"written_names", "<Settings>" + kElements + "</Settings>", ElementsRecord()},
        SettingsFileCase{"other_names_in_the_same_order",
                         "<Root><A name='Deutsch'/><B posx='1' posy='2' width='3' height='4'/>"
                         "<C posx='-5' posy='6' width='7' height='8'/><VolumeSound id='9'/><E id='-1'/>"
                         "<AlwaysOnTop id='10'/><G id='2'/><H id='11'/><I id='12'/></Root>",
                         ElementsRecord()},
        SettingsFileCase{"declaration_and_comment_before_the_root",
                         "<?xml version='1.0'?><!-- mine --><Settings>" + kElements + "</Settings>", ElementsRecord()},
        SettingsFileCase{
            "comments_and_text_between_elements_are_skipped",
            "<Settings><!-- first -->text" + QByteArray(kElements).replace("/>", "/><!-- x -->") + "</Settings>",
            ElementsRecord()},
        SettingsFileCase{"elements_after_the_ninth_are_ignored",
                         "<Settings>" + kElements + "<Language name='Other'/><VolumeSound id='1'/></Settings>",
                         ElementsRecord()},
        SettingsFileCase{"lenient_numbers_without_range_checks",
                         "<Settings><Language name='Deutsch'/>"
                         "<MainWindowPos posx='12abc' posy='abc' width='  -7' height='+5'/>"
                         "<ChannelWindowPos posx='- 5' posy='99999999999' width='' height='3.9'/>"
                         "<VolumeSound id='250'/><MuteSound id='1'/><OriginalSize id='-3'/>"
                         "<HideControl id='2'/><HideMenu id='11'/><AlwaysOnTop id='12'/></Settings>",
                         ElementsRecord([](SettingsRecord& r) {
                             r.mainWindowPos = {12, 0, -7, 5};
                             r.channelWindowPos = {0, 2147483647, 0, 3};
                             r.volumeSound = 250;
                             r.muteSound = 1;
                             r.originalSize = -3;
                         })},
        SettingsFileCase{"missing_attributes_are_zero_and_the_language_english",
                         "<Settings><Language/><MainWindowPos/><ChannelWindowPos posx='4'/><VolumeSound/>"
                         "<MuteSound/><OriginalSize/><HideControl/><HideMenu/><AlwaysOnTop/></Settings>",
                         SettingsRecord{{0, 0, 0, 0}, {4, 0, 0, 0}, QStringLiteral("English"), 0, 0, 0, 0, 0, 0}},
        SettingsFileCase{"an_empty_language_name_is_kept",
                         "<Settings>" + QByteArray(kElements).replace("'Deutsch'", "''") + "</Settings>",
                         ElementsRecord([](SettingsRecord& r) { r.language.clear(); })},
        SettingsFileCase{"language_name_entities_and_limit",
                         "<Settings>" +
                             QByteArray(kElements).replace("Deutsch", "Fran&#xE7;ais &amp; " + QByteArray(300, 'x')) +
                             "</Settings>",
                         ElementsRecord([](SettingsRecord& r) {
                             r.language = (QStringLiteral("Fran\u00E7ais & ") + QString(300, QLatin1Char('x')))
                                              .left(kMaxSettingsLanguageUnits);
                         })},
        SettingsFileCase{"crlf_line_ends",
                         "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Settings>\r\n    " +
                             QByteArray(kElements).replace("/>", "/>\r\n    ") + "\r\n</Settings>\r\n",
                         ElementsRecord()},
        SettingsFileCase{"byte_order_mark", "\xEF\xBB\xBF<Settings>" + kElements + "</Settings>", ElementsRecord()},
        SettingsFileCase{"eight_elements_fail",
                         "<Settings>" + QByteArray(kElements).replace("<AlwaysOnTop id='12'/>", "") + "</Settings>",
                         std::nullopt},
        SettingsFileCase{"elements_one_level_too_deep_fail", "<Settings><Group>" + kElements + "</Group></Settings>",
                         std::nullopt},
        SettingsFileCase{"no_root_element_fails", "<?xml version='1.0'?><!-- nothing here -->", std::nullopt},
        SettingsFileCase{"unclosed_root_fails", "<Settings>" + kElements, std::nullopt},
        SettingsFileCase{"not_xml_fails", "Language=Deutsch\nVolumeSound=9\n", std::nullopt},
        SettingsFileCase{"zero_byte_file_fails", QByteArray(), std::nullopt},
        SettingsFileCase{"missing_file_fails", std::nullopt, std::nullopt}),
    [](const testing::TestParamInfo<SettingsFileCase>& row) { return row.param.name; });

TEST(SaveSettingsTest, WritesTheDefaultsExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.xml"));

    ASSERT_TRUE(SaveSettings(path, SettingsRecord()));

    EXPECT_EQ(ReadBytes(path),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                         "<Settings>\n"
                         "    <Language name=\"English\" />\n"
                         "    <MainWindowPos posx=\"298\" posy=\"161\" width=\"550\" height=\"471\" />\n"
                         "    <ChannelWindowPos posx=\"10\" posy=\"10\" width=\"219\" height=\"484\" />\n"
                         "    <VolumeSound id=\"100\" />\n"
                         "    <MuteSound id=\"0\" />\n"
                         "    <OriginalSize id=\"0\" />\n"
                         "    <HideControl id=\"0\" />\n"
                         "    <HideMenu id=\"0\" />\n"
                         "    <AlwaysOnTop id=\"0\" />\n"
                         "</Settings>\n"));
}

TEST(SaveSettingsTest, WhatIsSavedLoadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.xml"));
    SettingsRecord saved;
    saved.mainWindowPos = {-1920, -40, 800, 600};
    saved.channelWindowPos = {-300, 2147483647, 0, -2147483647 - 1};
    saved.language =
        QString::fromUtf8("\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9 & \"\xF0\x9F\x93\xBA\"");
    saved.hideControl = 1;
    saved.hideMenu = 1;
    saved.muteSound = -1;
    saved.volumeSound = 37;
    saved.alwaysOnTop = 1;
    saved.originalSize = 1;

    ASSERT_TRUE(SaveSettings(path, saved));
    SettingsRecord loaded;
    ASSERT_TRUE(LoadSettings(path, loaded));

    EXPECT_EQ(loaded, saved);
    EXPECT_TRUE(ReadBytes(path).contains("<MuteSound id=\"-1\" />")) << ReadBytes(path).constData();
}

TEST(SaveSettingsTest, LanguageIsCutBetweenCharactersWhenWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.xml"));
    const QString eAcute = QString::fromUtf8("\xC3\xA9");  // two bytes in UTF-8
    SettingsRecord saved;
    saved.language = eAcute.repeated(200);

    ASSERT_TRUE(SaveSettings(path, saved));
    SettingsRecord loaded;
    ASSERT_TRUE(LoadSettings(path, loaded));

    // 255 bytes hold 127 whole characters; the 128th would be split.
    EXPECT_EQ(loaded.language, eAcute.repeated(127));
}

}  // namespace
}  // namespace vantelo
