#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QStringList>

#include <tinyxml.h>

#include "catalogue/load_channels.h"
#include "lang/load_language.h"
#include "support/language_folder.h"
#include "support/recording_prompter.h"

namespace vantelo {
namespace {

// Packs are checked as written in the source tree; their flags exist only in
// the build, which draws them.
const QString kShippedPacks = QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages");
const QString kBuiltPacks = QStringLiteral(VANTELO_BINARY_DIR "/Languages");

constexpr int kSmallestFlag = 16;

// Entries shown together in one menu (or in the menu bar), where a repeated
// mnemonic leaves one of them out of reach from the keyboard.
struct Menu {
    Section section;
    int first;
    int last;
};

constexpr std::array<Menu, 6> kMenus = {{
    {Section::MainMenu, 0, 3},  // the menu bar
    {Section::MainMenu, 4, 4},
    {Section::MainMenu, 5, 9},
    {Section::MainMenu, 10, 13},
    {Section::MainMenu, 14, 15},
    {Section::ContexMenu, 0, 9},
}};

QString SectionName(int number) { return QString::fromLatin1(kSectionElementNames[number]); }

// The character after the first single '&'; "&&" stands for an ampersand.
QString Mnemonic(const QString& text)
{
    for (qsizetype at = 0; at + 1 < text.size(); ++at) {
        if (text.at(at) != QLatin1Char('&'))
            continue;
        if (text.at(at + 1) == QLatin1Char('&')) {
            ++at;
            continue;
        }
        return text.mid(at + 1, 1);
    }
    return {};
}

void CheckMnemonics(const QString& file, const LanguageTexts& texts, QStringList& problems)
{
    for (const Menu& menu : kMenus) {
        const auto& entries = texts.section(menu.section);
        std::map<QString, int> owners;  // case-folded mnemonic -> first entry using it
        for (int entry = menu.first; entry <= menu.last && entry < entries.size(); ++entry) {
            const QString mnemonic = Mnemonic(entries.at(entry));
            if (mnemonic.isEmpty())
                continue;
            const auto [owner, isNew] = owners.emplace(mnemonic.toCaseFolded(), entry);
            if (!isNew) {
                problems << QStringLiteral("%1: %2 entry %3 repeats the mnemonic \"%4\" of entry %5")
                                .arg(file, SectionName(static_cast<int>(menu.section)))
                                .arg(entry)
                                .arg(mnemonic)
                                .arg(owner->second);
            }
        }
    }
}

void CheckTexts(const QString& packsRoot, const QString& pack, QStringList& problems)
{
    const QString file = pack + QStringLiteral("/Main.xml");
    test::RecordingPrompter prompter;
    QString language = pack;
    LanguageTexts texts;
    // Falling back says the pack's own file could not be used; the texts then
    // are the English ones and say nothing about this pack.
    if (!LoadLanguage(language, texts, prompter, packsRoot) || !prompter.messages.isEmpty()) {
        problems << file + QStringLiteral(": cannot be read; the program would show English");
        return;
    }
    for (int number = 0; number < kSectionCount; ++number) {
        const auto& entries = texts.section(static_cast<Section>(number));
        if (entries.size() < kSectionMinimumEntries[number]) {
            problems << QStringLiteral("%1: %2 holds %3 entries, at least %4 needed")
                            .arg(file, SectionName(number))
                            .arg(entries.size())
                            .arg(kSectionMinimumEntries[number]);
        }
        for (qsizetype entry = 0; entry < entries.size(); ++entry) {
            const QString& text = entries.at(entry);
            if (text.trimmed().isEmpty()) {
                problems << QStringLiteral("%1: %2 entry %3 is empty").arg(file, SectionName(number)).arg(entry);
            } else if (text.size() >= kMaxLanguageTextUnits) {
                problems << QStringLiteral("%1: %2 entry %3 is %4 units long, probably cut at the limit of %5")
                                .arg(file, SectionName(number))
                                .arg(entry)
                                .arg(text.size())
                                .arg(kMaxLanguageTextUnits);
            }
        }
    }
    CheckMnemonics(file, texts, problems);
}

// Empty when the text is usable, otherwise why not.
QString ChannelTextProblem(const QString& text, const char* what, qsizetype limit)
{
    if (text.trimmed().isEmpty())
        return QStringLiteral("has an empty %1").arg(QLatin1String(what));
    if (text.size() >= limit) {
        return QStringLiteral("has a %1 of %2 units, probably cut at the limit of %3")
            .arg(QLatin1String(what))
            .arg(text.size())
            .arg(limit);
    }
    return {};
}

void CheckChannels(const QString& packsRoot, const QString& pack, QStringList& problems)
{
    const QString file = pack + QStringLiteral("/Channels.xml");
    // The loader falls back to English without a word, so whether the pack's
    // own file can be read is found out here, the way the loader reads it.
    TiXmlDocument document;
    const FileHandle handle = OpenPackFile(packsRoot, pack, QStringLiteral("Channels.xml"));
    if (!handle || !document.LoadFile(handle.get(), TIXML_ENCODING_UTF8)) {
        problems << file + QStringLiteral(": cannot be read; the program would show English");
        return;
    }
    ChannelLists names;
    ChannelLists descriptions;
    ChannelLists englishNames;
    ChannelLists englishDescriptions;
    LoadChannels(pack, names, descriptions, packsRoot);
    // The English pack's own faults are reported when it is checked itself.
    LoadChannels(kFallbackLanguage, englishNames, englishDescriptions, packsRoot);

    for (const CatalogueTable& table : kCatalogueTables) {
        const auto& tableNames = names[table.number - 1];
        const auto& tableDescriptions = descriptions[table.number - 1];
        const auto& tableEnglishNames = englishNames[table.number - 1];
        const QString where = file + QStringLiteral(": ") + QString::fromLatin1(table.elementName);
        if (tableNames.size() != table.channelCount) {
            problems << QStringLiteral("%1 holds %2 channels, not %3")
                            .arg(where)
                            .arg(tableNames.size())
                            .arg(table.channelCount);
        }
        for (qsizetype channel = 0; channel < tableNames.size(); ++channel) {
            const QString& name = tableNames.at(channel);
            const QString nameProblem = ChannelTextProblem(name, "name", kMaxChannelNameUnits);
            if (!nameProblem.isEmpty()) {
                problems << QStringLiteral("%1 channel %2 %3").arg(where).arg(channel).arg(nameProblem);
            } else if (channel < tableEnglishNames.size() && name != tableEnglishNames.at(channel)) {
                // Names are proper names; only descriptions are translated.
                problems << QStringLiteral("%1 channel %2 is named \"%3\", but \"%4\" in English")
                                .arg(where)
                                .arg(channel)
                                .arg(name, tableEnglishNames.at(channel));
            }
            const QString descriptionProblem =
                ChannelTextProblem(tableDescriptions.at(channel), "description", kMaxChannelDescriptionUnits);
            if (!descriptionProblem.isEmpty())
                problems << QStringLiteral("%1 channel %2 %3").arg(where).arg(channel).arg(descriptionProblem);
        }
    }
}

void CheckFlag(const QString& flagsRoot, const QString& pack, QStringList& problems)
{
    const QString file = pack + QStringLiteral("/Flag.ico");
    const QString path = flagsRoot + QLatin1Char('/') + file;
    if (!QFileInfo(path).isFile()) {
        problems << file + QStringLiteral(": not found");
        return;
    }
    QImageReader reader(path);
    QStringList sizes;
    for (;;) {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        if (image.width() == image.height() && image.width() >= kSmallestFlag)
            return;
        sizes << QStringLiteral("%1x%2").arg(image.width()).arg(image.height());
        if (!reader.jumpToNextImage())
            break;
    }
    if (sizes.isEmpty())
        problems << file + QStringLiteral(": cannot be read as an image");
    else
        problems << QStringLiteral("%1: holds no square image of %2x%2 or larger, only %3")
                        .arg(file)
                        .arg(kSmallestFlag)
                        .arg(sizes.join(QStringLiteral(", ")));
}

// Everything wrong with one pack as the program would meet it: texts and
// channels from <packsRoot>/<pack>, the flag from <flagsRoot>/<pack>. Channel
// names are compared with the English pack under packsRoot.
QStringList CheckLanguagePack(const QString& packsRoot, const QString& flagsRoot, const QString& pack)
{
    QStringList problems;
    CheckTexts(packsRoot, pack, problems);
    CheckChannels(packsRoot, pack, problems);
    CheckFlag(flagsRoot, pack, problems);
    return problems;
}

std::string Lines(const QStringList& lines) { return lines.join(QLatin1Char('\n')).toStdString(); }

// --- the shipped packs -----------------------------------------------------------------

struct ShippedPack {
    QString name;
};

void PrintTo(const ShippedPack& pack, std::ostream* out) { *out << pack.name.toStdString(); }

std::vector<ShippedPack> ShippedPacks()
{
    std::vector<ShippedPack> packs;
    for (const QString& name : QDir(kShippedPacks).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        packs.push_back({name});
    return packs;
}

// Test names allow only ASCII letters, digits and '_'; other characters become
// their code, so "Español" runs as "Espa_u00F1ol".
std::string TestName(const QString& pack)
{
    std::string name;
    for (const QChar c : pack) {
        if (c.unicode() < 0x80 && c.isLetterOrNumber())
            name += static_cast<char>(c.unicode());
        else
            name += "_u" + QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0').toStdString();
    }
    return name;
}

TEST(ShippedPacksTest, IncludeTheEnglishPack)
{
    bool found = false;
    for (const ShippedPack& pack : ShippedPacks())
        found = found || pack.name == kFallbackLanguage;
    EXPECT_TRUE(found) << kShippedPacks.toStdString();
}

class ShippedPackTest : public testing::TestWithParam<ShippedPack> {};

TEST_P(ShippedPackTest, PassesEveryCheck)
{
    const QStringList problems = CheckLanguagePack(kShippedPacks, kBuiltPacks, GetParam().name);
    EXPECT_TRUE(problems.isEmpty()) << Lines(problems) << "\n(packs from " << kShippedPacks.toStdString()
                                    << ", flags from " << kBuiltPacks.toStdString() << ')';
}

// The build draws each flag at both sizes the dialog may ask for, filling the
// square's top and bottom margins with nothing.
TEST_P(ShippedPackTest, BuiltFlagHoldsBothSizesOnTransparentGround)
{
    QImageReader reader(kBuiltPacks + QLatin1Char('/') + GetParam().name + QStringLiteral("/Flag.ico"));
    ASSERT_EQ(reader.imageCount(), 2) << reader.errorString().toStdString();
    for (const int size : {16, 32}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(reader.jumpToImage(size == 16 ? 0 : 1));
        const QImage image = reader.read();
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
    }
}

INSTANTIATE_TEST_SUITE_P(Packs, ShippedPackTest, testing::ValuesIn(ShippedPacks()),
                         [](const testing::TestParamInfo<ShippedPack>& row) { return TestName(row.param.name); });

// --- the checker on broken packs ---------------------------------------------------------

// A pack the checker passes: every section at its smallest size with a mnemonic
// of its own per entry, every table at its count.
struct PackModel {
    std::array<QStringList, kSectionCount> sections;
    std::array<QStringList, kTableCount> names;
    std::array<QStringList, kTableCount> descriptions;
    // Files written as these bytes instead; empty bytes leave the file out.
    std::map<QString, QByteArray> replacedFiles;
};

PackModel IntactPack()
{
    PackModel pack;
    for (int number = 0; number < kSectionCount; ++number) {
        for (int entry = 0; entry < kSectionMinimumEntries[number]; ++entry)
            pack.sections[number] << QStringLiteral("&%1 entry").arg(QChar(u'A' + entry));
    }
    for (const CatalogueTable& table : kCatalogueTables) {
        for (int channel = 0; channel < table.channelCount; ++channel) {
            pack.names[table.number - 1] << QStringLiteral("Channel %1.%2").arg(table.number).arg(channel);
            pack.descriptions[table.number - 1] << QStringLiteral("About %1.%2").arg(table.number).arg(channel);
        }
    }
    return pack;
}

QByteArray MainXml(const PackModel& pack)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Language>\n");
    for (int number = 0; number < kSectionCount; ++number) {
        xml += QStringLiteral("<%1>\n").arg(SectionName(number));
        for (const QString& text : pack.sections[number])
            xml += QStringLiteral("<Item>%1</Item>\n").arg(text.toHtmlEscaped());
        xml += QStringLiteral("</%1>\n").arg(SectionName(number));
    }
    return (xml + QStringLiteral("</Language>\n")).toUtf8();
}

QByteArray ChannelsXml(const PackModel& pack)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Channels>\n");
    for (const CatalogueTable& table : kCatalogueTables) {
        const QStringList& names = pack.names[table.number - 1];
        const QStringList& descriptions = pack.descriptions[table.number - 1];
        xml += QStringLiteral("<%1>\n").arg(QLatin1String(table.elementName));
        for (qsizetype channel = 0; channel < names.size(); ++channel) {
            xml += QStringLiteral("<Channel name=\"%1\" description=\"%2\"/>\n")
                       .arg(names.at(channel).toHtmlEscaped(), descriptions.value(channel).toHtmlEscaped());
        }
        xml += QStringLiteral("</%1>\n").arg(QLatin1String(table.elementName));
    }
    return (xml + QStringLiteral("</Channels>\n")).toUtf8();
}

QByteArray IconFile(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "ico").write(image);
    return bytes;
}

void WritePack(const test::LanguageFolder& folder, const QString& name, const PackModel& pack)
{
    std::map<QString, QByteArray> files = {
        {QStringLiteral("Main.xml"), MainXml(pack)},
        {QStringLiteral("Channels.xml"), ChannelsXml(pack)},
        {QStringLiteral("Flag.ico"), IconFile(kSmallestFlag, kSmallestFlag)},
    };
    for (const auto& [file, bytes] : pack.replacedFiles)
        files[file] = bytes;
    for (const auto& [file, bytes] : files) {
        if (!bytes.isEmpty())
            folder.write(name, file, bytes);
    }
}

struct BrokenPackCase {
    const char* name;
    std::function<void(PackModel&)> breakPack;
    QStringList expected;
};

void PrintTo(const BrokenPackCase& c, std::ostream* out) { *out << c.name; }

QStringList& Entries(PackModel& pack, Section section) { return pack.sections[static_cast<int>(section)]; }

class BrokenPackTest : public testing::TestWithParam<BrokenPackCase> {};

TEST_P(BrokenPackTest, IsReportedWithPackFileAndPosition)
{
    test::LanguageFolder folder;
    WritePack(folder, kFallbackLanguage, IntactPack());
    PackModel broken = IntactPack();
    GetParam().breakPack(broken);
    WritePack(folder, QStringLiteral("Broken"), broken);

    EXPECT_EQ(Lines(CheckLanguagePack(folder.root(), folder.root(), QStringLiteral("Broken"))),
              Lines(GetParam().expected));
}

const QString kLongText = QString(kMaxLanguageTextUnits + 500, u'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenPackTest,
    testing::Values(
        BrokenPackCase{"intact", [](PackModel&) {}, {}},
        // Texts of Main.xml
        BrokenPackCase{"empty_entry", [](PackModel& p) { Entries(p, Section::MainMenu)[7] = QString(); },
                       {"Broken/Main.xml: MainMenu entry 7 is empty"}},
        BrokenPackCase{"blank_entry", [](PackModel& p) { Entries(p, Section::Groups)[11] = QStringLiteral("  "); },
                       {"Broken/Main.xml: Groups entry 11 is empty"}},
        BrokenPackCase{"too_few_entries",
                       [](PackModel& p) { Entries(p, Section::LanguagesDialog).removeLast(); },
                       {"Broken/Main.xml: LanguagesDialog holds 3 entries, at least 4 needed"}},
        BrokenPackCase{"section_without_entries", [](PackModel& p) { Entries(p, Section::Countries).clear(); },
                       {"Broken/Main.xml: Countries holds 0 entries, at least 7 needed"}},
        BrokenPackCase{"text_at_the_limit",
                       [](PackModel& p) {
                           Entries(p, Section::AboutDialog)[3] = kLongText.left(kMaxLanguageTextUnits);
                       },
                       {"Broken/Main.xml: AboutDialog entry 3 is 1999 units long, probably cut at the limit of 1999"}},
        BrokenPackCase{"text_over_the_limit",
                       [](PackModel& p) { Entries(p, Section::DonateDialog)[2] = kLongText; },
                       {"Broken/Main.xml: DonateDialog entry 2 is 1999 units long, probably cut at the limit of 1999"}},
        BrokenPackCase{"unreadable_main_file",
                       [](PackModel& p) { p.replacedFiles[QStringLiteral("Main.xml")] = "<Language><MainMenu>"; },
                       {"Broken/Main.xml: cannot be read; the program would show English"}},
        BrokenPackCase{"missing_main_file",
                       [](PackModel& p) { p.replacedFiles[QStringLiteral("Main.xml")] = QByteArray(); },
                       {"Broken/Main.xml: cannot be read; the program would show English"}},
        // Mnemonics: unique within a menu, whatever their case
        BrokenPackCase{"mnemonic_repeated_in_the_menu_bar_other_case",
                       [](PackModel& p) { Entries(p, Section::MainMenu)[3] = QStringLiteral("&already"); },
                       {"Broken/Main.xml: MainMenu entry 3 repeats the mnemonic \"a\" of entry 0"}},
        BrokenPackCase{"mnemonic_repeated_in_a_menu",
                       [](PackModel& p) { Entries(p, Section::MainMenu)[9] = QStringLiteral("&Fit"); },
                       {"Broken/Main.xml: MainMenu entry 9 repeats the mnemonic \"F\" of entry 5"}},
        BrokenPackCase{"mnemonic_repeated_in_the_context_menu",
                       [](PackModel& p) { Entries(p, Section::ContexMenu)[9] = QStringLiteral("Fish &&&b"); },
                       {"Broken/Main.xml: ContexMenu entry 9 repeats the mnemonic \"b\" of entry 1"}},
        BrokenPackCase{"same_mnemonic_in_different_menus",
                       [](PackModel& p) {
                           Entries(p, Section::MainMenu)[4] = QStringLiteral("&D");   // as bar entry 3
                           Entries(p, Section::MainMenu)[10] = QStringLiteral("&F");  // as entry 5
                           Entries(p, Section::MainMenu)[14] = QStringLiteral("&l");  // as entry 11
                       },
                       {}},
        BrokenPackCase{"double_ampersand_is_no_mnemonic",
                       [](PackModel& p) {
                           Entries(p, Section::ContexMenu)[1] = QStringLiteral("R&&D");
                           Entries(p, Section::ContexMenu)[2] = QStringLiteral("&&Co");
                       },
                       {}},
        // Channels.xml
        BrokenPackCase{"table_too_short",
                       [](PackModel& p) {
                           p.names[7].removeLast();
                           p.descriptions[7].removeLast();
                       },
                       {"Broken/Channels.xml: Kids holds 3 channels, not 4"}},
        BrokenPackCase{"table_too_long",
                       [](PackModel& p) {
                           p.names[9] << QStringLiteral("Extra");
                           p.descriptions[9] << QStringLiteral("One too many");
                       },
                       {"Broken/Channels.xml: Other holds 8 channels, not 7"}},
        BrokenPackCase{"empty_name", [](PackModel& p) { p.names[8][2] = QString(); },
                       {"Broken/Channels.xml: Sport channel 2 has an empty name"}},
        BrokenPackCase{"empty_description", [](PackModel& p) { p.descriptions[3][30] = QStringLiteral(" "); },
                       {"Broken/Channels.xml: News channel 30 has an empty description"}},
        BrokenPackCase{"name_differs_from_english",
                       [](PackModel& p) { p.names[12][56] = QStringLiteral("Kanal & Co"); },
                       {"Broken/Channels.xml: Germany channel 56 is named \"Kanal & Co\", but \"Channel 13.56\" in "
                        "English"}},
        BrokenPackCase{"name_at_the_limit", [](PackModel& p) { p.names[0][0] = QString(kMaxChannelNameUnits, u'n'); },
                       {"Broken/Channels.xml: Music channel 0 has a name of 999 units, probably cut at the limit "
                        "of 999"}},
        BrokenPackCase{"description_over_the_limit",
                       [](PackModel& p) { p.descriptions[16][41] = QString(kMaxChannelDescriptionUnits + 1, u'd'); },
                       {"Broken/Channels.xml: Spain channel 41 has a description of 4999 units, probably cut at "
                        "the limit of 4999"}},
        BrokenPackCase{"unreadable_channels_file",
                       [](PackModel& p) { p.replacedFiles[QStringLiteral("Channels.xml")] = "<Channels><Music>"; },
                       {"Broken/Channels.xml: cannot be read; the program would show English"}},
        BrokenPackCase{"missing_channels_file",
                       [](PackModel& p) { p.replacedFiles[QStringLiteral("Channels.xml")] = QByteArray(); },
                       {"Broken/Channels.xml: cannot be read; the program would show English"}},
        // Flag.ico
        BrokenPackCase{"missing_flag",
                       [](PackModel& p) { p.replacedFiles[QStringLiteral("Flag.ico")] = QByteArray(); },
                       {"Broken/Flag.ico: not found"}},
        BrokenPackCase{"flag_not_an_image",
                       [](PackModel& p) { p.replacedFiles[QStringLiteral("Flag.ico")] = "not an icon"; },
                       {"Broken/Flag.ico: cannot be read as an image"}},
        BrokenPackCase{"flag_too_small",
                       [](PackModel& p) { p.replacedFiles[QStringLiteral("Flag.ico")] = IconFile(8, 8); },
                       {"Broken/Flag.ico: holds no square image of 16x16 or larger, only 8x8"}},
        BrokenPackCase{"flag_not_square",
                       [](PackModel& p) { p.replacedFiles[QStringLiteral("Flag.ico")] = IconFile(32, 16); },
                       {"Broken/Flag.ico: holds no square image of 16x16 or larger, only 32x16"}},
        // Faults in several files are all reported, in file order.
        BrokenPackCase{"faults_in_every_file",
                       [](PackModel& p) {
                           Entries(p, Section::ChannelsDialog)[0] = QString();
                           p.names[14][20] = QString();
                           p.replacedFiles[QStringLiteral("Flag.ico")] = "?";
                       },
                       {"Broken/Main.xml: ChannelsDialog entry 0 is empty",
                        "Broken/Channels.xml: UK channel 20 has an empty name",
                        "Broken/Flag.ico: cannot be read as an image"}}),
    [](const testing::TestParamInfo<BrokenPackCase>& row) { return row.param.name; });

}  // namespace
}  // namespace vantelo
