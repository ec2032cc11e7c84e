// The bounds every XML reader is held to: the nesting pre-scan against TinyXML
// itself, the size, depth and attribute limits at their edges, and the four
// readers fed hostile files in a child process with a hard memory limit.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <tinyxml.h>

#include "app/settings_store.h"
#include "browser/favorites_store.h"
#include "catalogue/load_channels.h"
#include "fuzz/harness/fuzz_harness.h"
#include "lang/load_language.h"
#include "platform/xml_file.h"
#include "reliability/child_process.h"
#include "support/language_folder.h"
#include "support/recording_prompter.h"

namespace vantelo {
namespace {

using test::ChildEnd;
using test::RunInChild;

QByteArray Repeated(const QByteArray& part, qsizetype times)
{
    return part.repeated(times);
}

// --- the pre-scan ---------------------------------------------------------------

struct ShapeCase {
    const char* name;
    QByteArray text;
    int depth;
    int attributes;
};

void PrintTo(const ShapeCase& c, std::ostream* out) { *out << c.name; }

class XmlShapeTest : public testing::TestWithParam<ShapeCase> {};

// Each case is also parsed by TinyXML, so the table pins the parser's own
// reading: if a later TinyXML read these differently, the pre-scan would no
// longer be a bound and this test would say so.
TEST_P(XmlShapeTest, CountsWhatTheParserBuilds)
{
    const ShapeCase& c = GetParam();
    const QByteArray text = PrepareXmlText(c.text);
    const XmlShape counted = MeasureXmlShape(text.constData(), static_cast<std::size_t>(text.size()));
    EXPECT_EQ(counted.depth, c.depth);
    EXPECT_EQ(counted.attributes, c.attributes);

    TiXmlDocument document;
    document.Parse(text.constData(), nullptr, TIXML_ENCODING_UTF8);
    const XmlShape built = fuzz::BuiltShape(document);
    EXPECT_EQ(built.depth, c.depth) << "TinyXML nests differently";
    EXPECT_EQ(built.attributes, c.attributes) << "TinyXML reads attributes differently";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlShapeTest,
    testing::Values(
        ShapeCase{"empty", "", 0, 0},
        ShapeCase{"one_empty_element", "<a/>", 1, 0},
        ShapeCase{"nested", "<a><b><c/></b></a>", 3, 0},
        ShapeCase{"siblings_do_not_nest", "<a><b/><b></b><b/></a>", 2, 0},
        ShapeCase{"attributes_per_element", "<a x='1' y=\"2\"><b z='3'/></a>", 2, 2},
        ShapeCase{"unquoted_attributes", "<a b=1 c=two/><d e=f>g</d>", 1, 2},
        ShapeCase{"end_tag_with_white_space", "<a><b></b  ><c/></a >", 2, 0},
        ShapeCase{"tags_in_a_comment", "<a><!-- <b><c><d> --></a>", 1, 0},
        ShapeCase{"tags_in_cdata", "<a><![CDATA[<b><c>]]></a>", 1, 0},
        ShapeCase{"tags_in_an_attribute_value", "<a x='<b><c>'></a>", 1, 1},
        ShapeCase{"unknown_tag_ends_at_the_first_bracket", "<a><!DOCTYPE x><?pi <b?><b/></a>", 2, 0},
        ShapeCase{"declaration_value_with_a_bracket", "<?xml version='>'?><a><b/></a>", 2, 0},
        // A numeric reference runs to the next ';' and only its last digits are
        // checked: the tags in between are text to the parser.
        ShapeCase{"decimal_reference_swallows_tags", "<a>&#</a></a>#1;<b><c/></b></a>", 3, 0},
        ShapeCase{"hex_reference_swallows_tags", "<a>&#x</a>x41;<b/></a>", 2, 0},
        // A UTF-8 lead byte takes its sequence's length whatever follows.
        ShapeCase{"lead_byte_swallows_a_quote", "<a x='\xC3'/><b/>'/>", 1, 1},
        ShapeCase{"lead_byte_swallows_a_bracket", "<a>\xE2<b><c/></b></a>", 2, 0},
        ShapeCase{"lead_byte_in_a_comment_does_not", "<!--\xCB--><a/>", 1, 0},
        ShapeCase{"byte_order_marks_are_white_space", "<\xEF\xBB\xBF" "a><b\xEF\xBF\xBE></b></a>", 2, 0},
        ShapeCase{"text_at_the_top_ends_the_document", "text<a><b/></a>", 0, 0},
        ShapeCase{"end_tag_at_the_top_is_unknown", "</x><a><b/></a>", 2, 0},
        ShapeCase{"unclosed_nesting_still_counts", "<a><b><c><d>", 4, 0},
        ShapeCase{"parser_stops_at_a_bad_reference", "<a>&#xZ;<b><c/></b></a>", 1, 0},
        ShapeCase{"stops_at_the_first_zero_byte", QByteArray("<a><b/>\0<c><d><e>", 17), 2, 0}),
    [](const testing::TestParamInfo<ShapeCase>& row) { return row.param.name; });

// --- the limits at their edges -----------------------------------------------------

struct LimitCase {
    const char* name;
    std::function<QByteArray()> bytes;
    XmlReadResult expected;
};

QByteArray Nested(int levels)
{
    return Repeated("<a>", levels) + Repeated("</a>", levels);
}

QByteArray WithAttributes(int count)
{
    QByteArray element = "<a";
    for (int number = 0; number < count; ++number)
        element += " b" + QByteArray::number(number) + "=''";
    return element + "/>";
}

// A well-formed document of exactly size bytes.
QByteArray OfSize(qint64 size)
{
    const QByteArray open = "<a>";
    const QByteArray close = "</a>";
    return open + QByteArray(size - open.size() - close.size(), 'x') + close;
}

void PrintTo(const LimitCase& c, std::ostream* out) { *out << c.name; }

class XmlLimitTest : public testing::TestWithParam<LimitCase> {};

TEST_P(XmlLimitTest, ParsesOrRefuses)
{
    TiXmlDocument document;
    EXPECT_EQ(ParseXmlBytes(GetParam().bytes(), document), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlLimitTest,
    testing::Values(
        LimitCase{"largest_size", [] { return OfSize(kMaxXmlFileBytes); }, XmlReadResult::Parsed},
        LimitCase{"one_byte_too_large", [] { return OfSize(kMaxXmlFileBytes + 1); }, XmlReadResult::TooLarge},
        LimitCase{"deepest_nesting", [] { return Nested(kMaxXmlDepth); }, XmlReadResult::Parsed},
        LimitCase{"one_level_too_deep", [] { return Nested(kMaxXmlDepth + 1); }, XmlReadResult::TooDeep},
        LimitCase{"deepest_element_empty",
                  [] { return Repeated("<a>", kMaxXmlDepth - 1) + "<b/>" + Repeated("</a>", kMaxXmlDepth - 1); },
                  XmlReadResult::Parsed},
        LimitCase{"empty_element_one_level_too_deep",
                  [] { return Repeated("<a>", kMaxXmlDepth) + "<b/>" + Repeated("</a>", kMaxXmlDepth); },
                  XmlReadResult::TooDeep},
        LimitCase{"300000_unclosed_levels", [] { return Repeated("<a>", 300000); }, XmlReadResult::TooDeep},
        LimitCase{"deep_nesting_hidden_in_a_comment",
                  [] { return "<a><!--" + Repeated("<a>", 1000) + "--></a>"; }, XmlReadResult::Parsed},
        LimitCase{"most_attributes", [] { return WithAttributes(kMaxXmlAttributes); }, XmlReadResult::Parsed},
        LimitCase{"one_attribute_too_many", [] { return WithAttributes(kMaxXmlAttributes + 1); },
                  XmlReadResult::TooManyAttributes},
        LimitCase{"text_after_a_zero_byte_is_ignored", [] { return QByteArray("<a/>\0<", 6); }, XmlReadResult::Parsed},
        LimitCase{"value_cut_at_a_lead_byte", [] { return QByteArray("<a x='\xF0"); }, XmlReadResult::Malformed},
        LimitCase{"comment_cut_short", [] { return QByteArray("<a><!-- x"); }, XmlReadResult::Malformed},
        LimitCase{"zero_bytes", [] { return QByteArray(); }, XmlReadResult::Malformed}),
    [](const testing::TestParamInfo<LimitCase>& row) { return row.param.name; });

TEST(XmlTextTest, LineEndsAreReadAsTinyXmlReadsAFile)
{
    TiXmlDocument document;
    ASSERT_EQ(ParseXmlBytes("<a x='1\r\n2\r3\n4'><![CDATA[a\r\nb\rc]]></a>", document), XmlReadResult::Parsed);
    const TiXmlElement* root = document.RootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->Attribute("x"), "1\n2\n3\n4");
    EXPECT_STREQ(root->GetText(), "a\nb\nc");
}

// --- hostile files through the four readers -------------------------------------------

// The readers get this much address space on top of what the test process has
// mapped. The largest file they accept parses in about 70 MB (a megabyte of
// empty elements, some 230 bytes of nodes each); reading a 100 MB file whole, or
// building a tree from it, does not fit.
constexpr long kReaderBudget = 160L * 1024 * 1024;

// One reader, with the frame around repeated entries that makes a document it
// accepts, and a way to tell whether the hostile file's content was taken.
struct Reader {
    const char* name;
    const char* fileName;
    bool inPack;
    QByteArray head;
    QByteArray entry;
    QByteArray tail;
    // Reads the file; true when its content was taken, false when it was
    // refused (the pack readers then fall back to English).
    std::function<bool(const QString& folder)> read;
};

const QByteArray kEnglishMain = "<L><Groups><i>English</i></Groups></L>";
const QByteArray kEnglishChannels = "<C><Music><c name='English'/></Music></C>";

std::vector<Reader> Readers()
{
    return {
        {"main_xml", "Main.xml", true, "<L><Groups>", "<i/>", "</Groups></L>",
         [](const QString& languages) {
             QString language = QStringLiteral("Hostile");
             LanguageTexts texts;
             test::RecordingPrompter prompter;
             if (!LoadLanguage(language, texts, prompter, languages))
                 std::exit(10);
             return language == QStringLiteral("Hostile");
         }},
        {"channels_xml", "Channels.xml", true, "<C><Music>", "<c/>", "</Music></C>",
         [](const QString& languages) {
             ChannelLists names;
             ChannelLists descriptions;
             if (!LoadChannels(QStringLiteral("Hostile"), names, descriptions, languages))
                 std::exit(10);
             return names[0].items() != QStringList{QStringLiteral("English")};
         }},
        {"settings_xml", "Settings.xml", false, "<Settings>", "<a/>", "</Settings>",
         [](const QString& folder) {
             SettingsRecord record;
             return LoadSettings(folder + QStringLiteral("/Settings.xml"), record);
         }},
        {"favorites_xml", "Favorites.xml", false, "<Favorites>", "<c/>", "</Favorites>",
         [](const QString& folder) {
             FavoritesLists lists;
             return LoadFavorites(folder + QStringLiteral("/Favorites.xml"), lists);
         }},
    };
}

// Where a reader finds its file: Languages/Hostile/ beside a good English pack,
// or the folder itself.
class ReaderFolder {
public:
    explicit ReaderFolder(const Reader& reader) : m_reader(reader)
    {
        if (reader.inPack) {
            m_packs.write(QStringLiteral("English"), QStringLiteral("Main.xml"), kEnglishMain);
            m_packs.write(QStringLiteral("English"), QStringLiteral("Channels.xml"), kEnglishChannels);
            QDir().mkpath(m_packs.root() + QStringLiteral("/Hostile"));
        }
    }

    QString folder() const { return m_reader.inPack ? m_packs.root() : m_plain.path(); }
    QString file() const
    {
        const QString name = QString::fromLatin1(m_reader.fileName);
        return m_reader.inPack ? m_packs.root() + QStringLiteral("/Hostile/") + name : m_plain.filePath(name);
    }

private:
    const Reader& m_reader;
    test::LanguageFolder m_packs;
    QTemporaryDir m_plain;
};

void WriteRepeated(const QString& path, const QByteArray& head, const QByteArray& entry, qint64 count,
                   const QByteArray& tail)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(head);
    const qint64 perBlock = qMax<qint64>(1, (1 << 20) / entry.size());
    const QByteArray block = entry.repeated(perBlock);
    for (qint64 written = 0; written < count; written += perBlock) {
        const qint64 now = qMin(perBlock, count - written);
        ASSERT_EQ(file.write(now == perBlock ? block : entry.repeated(now)), entry.size() * now);
    }
    file.write(tail);
}

// A hostile thing in the reader's place, and whether the reader takes it.
struct Hostility {
    const char* name;
    std::function<void(const Reader&, const QString& path)> make;
    bool taken;
};

void PrintTo(const Hostility& hostility, std::ostream* out) { *out << hostility.name; }
void PrintTo(const Reader& reader, std::ostream* out) { *out << reader.name; }

const std::vector<Hostility> kHostilities = {
    {"file_of_100_mb",
     [](const Reader& reader, const QString& path) {
         const qint64 entries = (100LL << 20) / reader.entry.size();
         WriteRepeated(path, reader.head, reader.entry, entries, reader.tail);
     },
     false},
    {"a_million_tiny_entries",
     [](const Reader& reader, const QString& path) {
         WriteRepeated(path, reader.head, reader.entry, 1000000, reader.tail);
     },
     false},
    {"as_many_tiny_entries_as_fit",
     [](const Reader& reader, const QString& path) {
         const qint64 room = kMaxXmlFileBytes - reader.head.size() - reader.tail.size();
         WriteRepeated(path, reader.head, reader.entry, room / reader.entry.size(), reader.tail);
     },
     true},
    {"300000_levels_deep",
     [](const Reader& reader, const QString& path) {
         WriteRepeated(path, reader.head, "<a>", 300000, reader.tail);
     },
     false},
    {"elements_with_thousands_of_attributes",
     [](const Reader& reader, const QString& path) {
         QByteArray element = "<e";
         for (int number = 0; number < 5000; ++number)
             element += " a" + QByteArray::number(number) + "=''";
         element += "/>";
         WriteRepeated(path, reader.head, element, 10, reader.tail);
     },
     false},
    {"fifo",
     [](const Reader&, const QString& path) {
         ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
     },
     false},
    {"folder",
     [](const Reader&, const QString& path) { ASSERT_TRUE(QDir().mkpath(path)); }, false},
    {"link_to_a_device",
     [](const Reader&, const QString& path) {
         ASSERT_EQ(symlink("/dev/zero", QFile::encodeName(path).constData()), 0);
     },
     false},
};

using HostileCase = std::tuple<Reader, Hostility>;

class HostileFileTest : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileFileTest, IsReadWithinBoundedMemoryOrRefused)
{
    const auto& [reader, hostility] = GetParam();
    ReaderFolder folder(reader);
    hostility.make(reader, folder.file());
    if (HasFatalFailure())
        return;

    const ChildEnd end = RunInChild([&] { return reader.read(folder.folder()) ? 1 : 0; }, kReaderBudget);

    std::printf("[ figures  ] %s, %s: peak resident %ld KB\n", reader.name, hostility.name, end.peakKilobytes);
    ASSERT_EQ(end.signal, 0) << end.describe();
    ASSERT_TRUE(end.exitStatus == 0 || end.exitStatus == 1) << end.describe();
    EXPECT_EQ(end.exitStatus == 1, hostility.taken) << (hostility.taken ? "refused" : "taken");
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileFileTest,
                         testing::Combine(testing::ValuesIn(Readers()), testing::ValuesIn(kHostilities)),
                         [](const testing::TestParamInfo<HostileCase>& row) {
                             return std::string(std::get<0>(row.param).name) + "_" + std::get<1>(row.param).name;
                         });

// --- text that is not UTF-8 ------------------------------------------------------------

struct EncodingCase {
    const char* name;
    QByteArray entry;                    // the bytes between <i> and </i>
    std::optional<QString> expected;     // nullopt: the pack is refused, English is used
};

void PrintTo(const EncodingCase& c, std::ostream* out) { *out << c.name; }

class InvalidUtf8Test : public testing::TestWithParam<EncodingCase> {};

TEST_P(InvalidUtf8Test, GivesReplacementCharactersOrFallsBack)
{
    const EncodingCase& c = GetParam();
    test::LanguageFolder folder;
    folder.write(QStringLiteral("English"), QStringLiteral("Main.xml"), kEnglishMain);
    folder.write(QStringLiteral("Broken"), QStringLiteral("Main.xml"), "<L><Groups><i>" + c.entry + "</i></Groups></L>");
    QString language = QStringLiteral("Broken");
    LanguageTexts texts;
    test::RecordingPrompter prompter;

    ASSERT_TRUE(LoadLanguage(language, texts, prompter, folder.root()));

    const QStringList groups = texts.section(Section::Groups).items();
    ASSERT_EQ(groups.size(), 1);
    EXPECT_TRUE(QStringView(groups.first()).isValidUtf16());
    if (c.expected) {
        EXPECT_EQ(language, QStringLiteral("Broken"));
        EXPECT_EQ(groups.first(), *c.expected);
    } else {
        EXPECT_EQ(language, QStringLiteral("English"));
        EXPECT_EQ(groups.first(), QStringLiteral("English"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidUtf8Test,
    testing::Values(
        EncodingCase{"byte_ff", "a\xFF" "b", QStringLiteral("a\uFFFDb")},
        EncodingCase{"lone_continuation_bytes", "\x80\xBF", QStringLiteral("\uFFFD\uFFFD")},
        EncodingCase{"overlong_slash", "\xC0\xAF", QStringLiteral("\uFFFD\uFFFD")},
        EncodingCase{"encoded_surrogate", "\xED\xA0\x80", QStringLiteral("\uFFFD\uFFFD\uFFFD")},
        EncodingCase{"beyond_unicode", "\xF4\x90\x80\x80", QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD")},
        EncodingCase{"lead_byte_before_text", "\xC3(x", QStringLiteral("\uFFFD(x")},
        // The parser steps over a whole sequence: a lead byte just before the end
        // tag swallows its "</", and the pack no longer parses.
        EncodingCase{"lead_byte_before_the_end_tag", "x\xE2", std::nullopt},
        EncodingCase{"valid_four_byte_sequence", "\xF0\x9F\x93\xBA", QStringLiteral("\U0001F4FA")}),
    [](const testing::TestParamInfo<EncodingCase>& row) { return row.param.name; });

TEST(InvalidUtf8Test, APackEndingInALeadByteFallsBack)
{
    for (const QByteArray& ending : {QByteArray("\xF0"), QByteArray("\xE2\x82"), QByteArray("<i x='\xC3")}) {
        test::LanguageFolder folder;
        folder.write(QStringLiteral("English"), QStringLiteral("Main.xml"), kEnglishMain);
        folder.write(QStringLiteral("Broken"), QStringLiteral("Main.xml"), "<L><Groups><i>x" + ending);
        QString language = QStringLiteral("Broken");
        LanguageTexts texts;
        test::RecordingPrompter prompter;
        ASSERT_TRUE(LoadLanguage(language, texts, prompter, folder.root())) << ending.toHex().constData();
        EXPECT_EQ(language, QStringLiteral("English")) << ending.toHex().constData();
    }
}

}  // namespace
}  // namespace vantelo
