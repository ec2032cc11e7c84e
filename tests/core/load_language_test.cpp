#include <gtest/gtest.h>

#include <map>

#include <QStringList>

#include "lang/load_language.h"
#include "support/language_folder.h"
#include "support/recording_prompter.h"

namespace vantelo {
namespace {

using test::LanguageFolder;
using test::RecordingPrompter;

QStringList SectionTexts(const LanguageTexts& texts, Section section)
{
    return texts.section(section).items();
}

struct MainXmlCase {
    const char* name;
    QByteArray xml;
    std::map<Section, QStringList> expected;  // sections not named must be empty
};

class MainXmlTest : public testing::TestWithParam<MainXmlCase> {};

TEST_P(MainXmlTest, ReadsTheSections)
{
    LanguageFolder folder;
    folder.write(QStringLiteral("Test"), QStringLiteral("Main.xml"), GetParam().xml);
    RecordingPrompter prompter;
    QString language = QStringLiteral("Test");
    LanguageTexts texts;

    ASSERT_TRUE(LoadLanguage(language, texts, prompter, folder.root()));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(language, QStringLiteral("Test"));
    for (int number = 0; number < kSectionCount; ++number) {
        const auto section = static_cast<Section>(number);
        const auto found = GetParam().expected.find(section);
        const QStringList expected = found == GetParam().expected.end() ? QStringList() : found->second;
        EXPECT_EQ(SectionTexts(texts, section), expected) << kSectionElementNames[number];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MainXmlTest,
    testing::Values(
        MainXmlCase{"sections_in_any_order",
                    "<L><Countries><c>USA</c></Countries><MainMenu><m>File</m><m>Edit</m></MainMenu></L>",
                    {{Section::MainMenu, {"File", "Edit"}}, {Section::Countries, {"USA"}}}},
        MainXmlCase{"first_section_of_a_name_wins",
                    "<L><Groups><g>first</g></Groups><Groups><g>second</g></Groups></L>",
                    {{Section::Groups, {"first"}}}},
        MainXmlCase{"comment_before_first_entry_empties_the_section",
                    "<L><Groups><!-- note --><g>a</g><g>b</g></Groups><Countries><c>x</c></Countries></L>",
                    {{Section::Countries, {"x"}}}},
        MainXmlCase{"text_before_first_entry_empties_the_section",
                    "<L><Groups>words<g>a</g></Groups></L>", {}},
        MainXmlCase{"comments_between_entries_are_skipped",
                    "<L><Groups><g>a</g><!-- x --><g>b</g><!-- y --></Groups></L>",
                    {{Section::Groups, {"a", "b"}}}},
        MainXmlCase{"entry_names_and_attributes_do_not_matter",
                    "<L><MainMenu><one id='9'>a</one><two>b</two><one>c</one></MainMenu></L>",
                    {{Section::MainMenu, {"a", "b", "c"}}}},
        MainXmlCase{"section_names_are_exact",
                    "<L><ContextMenu><i>wrong</i></ContextMenu><mainmenu><i>wrong</i></mainmenu>"
                    "<ContexMenu><i>right</i></ContexMenu></L>",
                    {{Section::ContexMenu, {"right"}}}},
        MainXmlCase{"root_name_is_free_and_other_children_are_ignored",
                    "<?xml version='1.0'?><!-- pack --><Anything><Other><i>x</i></Other>"
                    "<Groups><i>g</i></Groups></Anything>",
                    {{Section::Groups, {"g"}}}},
        MainXmlCase{"white_space_is_condensed",
                    "<L><LanguagesDialog><i>Select\n        language:</i><i>  a \t\t b  </i></LanguagesDialog></L>",
                    {{Section::LanguagesDialog, {"Select language:", "a b"}}}},
        MainXmlCase{"cdata_is_kept_as_written",
                    "<L><Groups><i><![CDATA[  a   <b> &amp; ]]></i></Groups></L>",
                    {{Section::Groups, {"  a   <b> &amp; "}}}},
        MainXmlCase{"entity_and_character_references",
                    "<L><MainMenu><i>&amp;Help</i><i>&lt;&gt;&quot;&apos;</i><i>&#65;&#x42;&#xe9;</i></MainMenu></L>",
                    {{Section::MainMenu, {"&Help", "<>\"'", QString::fromUtf8("AB\xC3\xA9")}}}},
        MainXmlCase{"byte_order_mark_and_declaration",
                    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><L><Groups><i>\xC3\xA9t\xC3\xA9</i></Groups></L>",
                    {{Section::Groups, {QString::fromUtf8("\xC3\xA9t\xC3\xA9")}}}},
        MainXmlCase{"any_line_ends",
                    "<L>\r\n<Groups>\r<i>a\r\nb</i>\r<i>c\rd</i>\n</Groups></L>",
                    {{Section::Groups, {"a b", "c d"}}}},
        MainXmlCase{"empty_entries_read_as_empty_text_and_keep_their_place",
                    "<L><Groups><i/><i>   </i><i>x</i><i><!-- c --></i></Groups></L>",
                    {{Section::Groups, {"", "", "x", ""}}}},
        MainXmlCase{"text_ends_at_a_nested_element",
                    "<L><Groups><i>before<b>inner</b>after</i><i><b>inner</b>after</i></Groups></L>",
                    {{Section::Groups, {"before", ""}}}},
        MainXmlCase{"text_longer_than_the_limit_is_cut",
                    "<L><Groups><i>" + QByteArray(2500, 'x') + "</i><i>next</i></Groups></L>",
                    {{Section::Groups, {QString(kMaxLanguageTextUnits, QLatin1Char('x')), "next"}}}},
        MainXmlCase{"no_root_element", "<?xml version='1.0'?><!-- nothing -->", {}}),
    [](const testing::TestParamInfo<MainXmlCase>& row) { return row.param.name; });

const QByteArray kEnglishMain = "<L><MainMenu><i>English menu</i></MainMenu></L>";

struct FallbackCase {
    const char* name;
    QString language;
    bool writeChosen;
    QByteArray chosenContent;
};

class FallbackTest : public testing::TestWithParam<FallbackCase> {};

// Whatever keeps the chosen pack from being read, the user is told once, in
// these exact words, and the program goes on in English.
TEST_P(FallbackTest, WarnsAndUsesEnglish)
{
    const FallbackCase& fallback = GetParam();
    LanguageFolder folder;
    folder.write(QStringLiteral("English"), QStringLiteral("Main.xml"), kEnglishMain);
    if (fallback.writeChosen)
        folder.write(QStringLiteral("Klingon"), QStringLiteral("Main.xml"), fallback.chosenContent);
    RecordingPrompter prompter;
    QString language = fallback.language;
    LanguageTexts texts;

    EXPECT_TRUE(LoadLanguage(language, texts, prompter, folder.root()));

    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Cannot open ") + fallback.language + QStringLiteral(" language file, will be used English."));
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Warning);
    EXPECT_EQ(language, QStringLiteral("English"));
    EXPECT_EQ(SectionTexts(texts, Section::MainMenu), QStringList{QStringLiteral("English menu")});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FallbackTest,
    testing::Values(FallbackCase{"missing_pack", QStringLiteral("Klingon"), false, {}},
                    FallbackCase{"zero_byte_file", QStringLiteral("Klingon"), true, QByteArray()},
                    FallbackCase{"malformed_xml", QStringLiteral("Klingon"), true, "<L><MainMenu><i>x</L>"},
                    FallbackCase{"path_outside_languages", QStringLiteral("../Languages/English"), false, {}},
                    FallbackCase{"dot_dot", QStringLiteral(".."), false, {}},
                    FallbackCase{"empty_name", QString(), false, {}}),
    [](const testing::TestParamInfo<FallbackCase>& row) { return row.param.name; });

TEST(LoadLanguageTest, FailsWithoutAppendingWhenEnglishCannotBeReadEither)
{
    for (const QString& chosen : {QStringLiteral("Klingon"), QStringLiteral("English")}) {
        LanguageFolder folder;
        folder.write(QStringLiteral("Klingon"), QStringLiteral("Channels.xml"), "<C/>");
        RecordingPrompter prompter;
        QString language = chosen;
        LanguageTexts texts;

        EXPECT_FALSE(LoadLanguage(language, texts, prompter, folder.root()));
        EXPECT_TRUE(texts.isEmpty());
        ASSERT_EQ(prompter.messages.size(), 1) << "the fallback warning, and no second message";
        EXPECT_EQ(prompter.messages[0].text,
                  QStringLiteral("Cannot open ") + chosen + QStringLiteral(" language file, will be used English."));
    }
}

TEST(LoadLanguageTest, AMalformedEnglishPackCountsAsMissing)
{
    LanguageFolder folder;
    folder.write(QStringLiteral("English"), QStringLiteral("Main.xml"), "<L><MainMenu>");
    RecordingPrompter prompter;
    QString language = QStringLiteral("English");
    LanguageTexts texts;
    EXPECT_FALSE(LoadLanguage(language, texts, prompter, folder.root()));
    EXPECT_TRUE(texts.isEmpty());
}

TEST(LoadLanguageTest, AppendsToWhatIsThere)
{
    LanguageFolder folder;
    folder.write(QStringLiteral("English"), QStringLiteral("Main.xml"), kEnglishMain);
    RecordingPrompter prompter;
    QString language = QStringLiteral("English");
    LanguageTexts texts;
    ASSERT_TRUE(LoadLanguage(language, texts, prompter, folder.root()));
    ASSERT_TRUE(LoadLanguage(language, texts, prompter, folder.root()));
    EXPECT_EQ(texts.section(Section::MainMenu).size(), 2);
    texts.clear();
    EXPECT_TRUE(texts.isEmpty());
}

}  // namespace
}  // namespace vantelo
