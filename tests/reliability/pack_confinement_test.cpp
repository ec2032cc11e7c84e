// Nothing outside Languages/<name>/ is ever read: symbolic links planted in the
// packs, language names that climb out, and folder names in other scripts.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>
#include <QTemporaryDir>

#include "catalogue/load_channels.h"
#include "lang/language_pack.h"
#include "lang/load_language.h"
#include "reliability/child_process.h"
#include "support/recording_prompter.h"

namespace vantelo {
namespace {

QByteArray Encoded(const QString& path) { return QFile::encodeName(path); }

void WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(content), content.size());
}

void Link(const QString& target, const QString& link)
{
    ASSERT_EQ(symlink(Encoded(target).constData(), Encoded(link).constData()), 0) << link.toStdString();
}

QByteArray MainXml(const char* text) { return QByteArray("<L><Groups><i>") + text + "</i></Groups></L>"; }
QByteArray ChannelsXml(const char* text) { return QByteArray("<C><Music><c name='") + text + "'/></Music></C>"; }

// A temporary folder with Languages/English/ inside and, beside Languages/, an
// "outside" folder holding pack files that must never be read.
class Packs {
public:
    Packs()
    {
        WriteFile(english() + QStringLiteral("/Main.xml"), MainXml("English"));
        WriteFile(english() + QStringLiteral("/Channels.xml"), ChannelsXml("English"));
        WriteFile(outside() + QStringLiteral("/Main.xml"), MainXml("outside"));
        WriteFile(outside() + QStringLiteral("/Channels.xml"), ChannelsXml("outside"));
        // What a name like ".." would reach.
        WriteFile(m_dir.filePath(QStringLiteral("Main.xml")), MainXml("outside"));
        WriteFile(m_dir.filePath(QStringLiteral("Channels.xml")), ChannelsXml("outside"));
    }

    QString root() const { return m_dir.filePath(QStringLiteral("Languages")); }
    QString english() const { return root() + QStringLiteral("/English"); }
    QString pack(const QString& name) const { return root() + QLatin1Char('/') + name; }
    QString outside() const { return m_dir.filePath(QStringLiteral("outside")); }
    QString base() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// The text each reader took for a language: "English" when it fell back.
struct Taken {
    QString main;
    QString channels;
    QString language;  // the name LoadLanguage settled on
    int warnings = 0;
};

Taken Read(const QString& root, const QString& language)
{
    Taken taken;
    QString chosen = language;
    LanguageTexts texts;
    test::RecordingPrompter prompter;
    if (LoadLanguage(chosen, texts, prompter, root) && !texts.section(Section::Groups).isEmpty())
        taken.main = texts.text(Section::Groups, 0);
    taken.language = chosen;
    taken.warnings = static_cast<int>(prompter.messages.size());
    ChannelLists names;
    ChannelLists descriptions;
    if (LoadChannels(language, names, descriptions, root) && !names[0].isEmpty())
        taken.channels = names[0].at(0);
    return taken;
}

// --- symbolic links and things that are not files ---------------------------------------

struct LayoutCase {
    const char* name;
    // Builds the pack "Chosen" (or changes the tree) in the given packs.
    std::function<void(const Packs&)> build;
    const char* expected;  // what both readers take: "own" or "English"
};

class PackLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(PackLayoutTest, ReadsOnlyInsideThePackFolder)
{
    const LayoutCase& c = GetParam();
    Packs packs;
    c.build(packs);
    if (HasFatalFailure())
        return;

    // In a child, so that a reader stuck on a FIFO fails the test instead of
    // stopping the run.
    const test::ChildEnd end = test::RunInChild(
        [&] {
            const Taken taken = Read(packs.root(), QStringLiteral("Chosen"));
            const QString expected = QString::fromLatin1(c.expected);
            const bool fellBack = expected == QStringLiteral("English");
            if (taken.main != expected || taken.channels != expected)
                return 1;
            if (taken.language != (fellBack ? QStringLiteral("English") : QStringLiteral("Chosen")))
                return 2;
            if (taken.warnings != (fellBack ? 1 : 0))
                return 3;
            // The pack checker opens the files itself, the same way.
            const bool opened = OpenPackFile(packs.root(), QStringLiteral("Chosen"), QStringLiteral("Main.xml")) != nullptr;
            return opened == !fellBack ? 0 : 4;
        },
        0);
    EXPECT_TRUE(end.exitedWith(0)) << end.describe();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PackLayoutTest,
    testing::Values(
        LayoutCase{"plain_pack",
                   [](const Packs& packs) {
                       WriteFile(packs.pack(QStringLiteral("Chosen/Main.xml")), MainXml("own"));
                       WriteFile(packs.pack(QStringLiteral("Chosen/Channels.xml")), ChannelsXml("own"));
                   },
                   "own"},
        LayoutCase{"pack_folder_is_a_link_to_outside",
                   [](const Packs& packs) { Link(packs.outside(), packs.pack(QStringLiteral("Chosen"))); },
                   "English"},
        LayoutCase{"pack_folder_is_a_link_to_another_pack",
                   [](const Packs& packs) { Link(QStringLiteral("English"), packs.pack(QStringLiteral("Chosen"))); },
                   "English"},
        LayoutCase{"pack_files_are_links_to_outside",
                   [](const Packs& packs) {
                       QDir().mkpath(packs.pack(QStringLiteral("Chosen")));
                       Link(packs.outside() + QStringLiteral("/Main.xml"), packs.pack(QStringLiteral("Chosen/Main.xml")));
                       Link(packs.outside() + QStringLiteral("/Channels.xml"),
                            packs.pack(QStringLiteral("Chosen/Channels.xml")));
                   },
                   "English"},
        LayoutCase{"pack_files_are_relative_links_into_another_pack",
                   [](const Packs& packs) {
                       QDir().mkpath(packs.pack(QStringLiteral("Chosen")));
                       Link(QStringLiteral("../English/Main.xml"), packs.pack(QStringLiteral("Chosen/Main.xml")));
                       Link(QStringLiteral("../English/Channels.xml"),
                            packs.pack(QStringLiteral("Chosen/Channels.xml")));
                   },
                   "English"},
        LayoutCase{"pack_files_are_fifos",
                   [](const Packs& packs) {
                       QDir().mkpath(packs.pack(QStringLiteral("Chosen")));
                       ASSERT_EQ(mkfifo(Encoded(packs.pack(QStringLiteral("Chosen/Main.xml"))).constData(), 0644), 0);
                       ASSERT_EQ(mkfifo(Encoded(packs.pack(QStringLiteral("Chosen/Channels.xml"))).constData(), 0644),
                                 0);
                   },
                   "English"},
        LayoutCase{"pack_files_are_folders",
                   [](const Packs& packs) {
                       QDir().mkpath(packs.pack(QStringLiteral("Chosen/Main.xml")));
                       QDir().mkpath(packs.pack(QStringLiteral("Chosen/Channels.xml")));
                   },
                   "English"},
        // Where the program is installed is its own business: the Languages
        // folder itself may be a link.
        LayoutCase{"languages_folder_is_a_link",
                   [](const Packs& packs) {
                       WriteFile(packs.base() + QStringLiteral("/installed/Chosen/Main.xml"), MainXml("own"));
                       WriteFile(packs.base() + QStringLiteral("/installed/Chosen/Channels.xml"), ChannelsXml("own"));
                       const QString english = packs.base() + QStringLiteral("/installed/English");
                       ASSERT_TRUE(QDir().rename(packs.english(), english));
                       ASSERT_TRUE(QDir(packs.root()).removeRecursively());
                       Link(packs.base() + QStringLiteral("/installed"), packs.root());
                   },
                   "own"}),
    [](const testing::TestParamInfo<LayoutCase>& row) { return row.param.name; });

TEST(PackLayoutTest, AnEnglishPackThatIsALinkCountsAsMissing)
{
    Packs packs;
    ASSERT_TRUE(QDir().rename(packs.english(), packs.base() + QStringLiteral("/english-elsewhere")));
    Link(packs.base() + QStringLiteral("/english-elsewhere"), packs.english());

    QString language = QStringLiteral("English");
    LanguageTexts texts;
    test::RecordingPrompter prompter;
    EXPECT_FALSE(LoadLanguage(language, texts, prompter, packs.root()));
    EXPECT_TRUE(texts.isEmpty());
    ChannelLists names;
    ChannelLists descriptions;
    EXPECT_FALSE(LoadChannels(QStringLiteral("English"), names, descriptions, packs.root()));
}

// --- names that are not one folder -----------------------------------------------------

struct NameCase {
    const char* name;
    QString language;
};

class UnsafeNameTest : public testing::TestWithParam<NameCase> {};

// Each name would reach the "outside" files if it were used as a path; both
// readers fall back to English instead, and the pack checker opens nothing.
TEST_P(UnsafeNameTest, OpensNothingAndFallsBack)
{
    Packs packs;
    const QString language = GetParam().language;

    const Taken taken = Read(packs.root(), language);

    EXPECT_EQ(taken.main, QStringLiteral("English"));
    EXPECT_EQ(taken.channels, QStringLiteral("English"));
    EXPECT_EQ(taken.language, QStringLiteral("English"));
    EXPECT_EQ(taken.warnings, 1);
    EXPECT_EQ(OpenPackFile(packs.root(), language, QStringLiteral("Main.xml")), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Names, UnsafeNameTest,
    testing::Values(NameCase{"dot_dot", QStringLiteral("..")},
                    NameCase{"dot_dot_then_folder", QStringLiteral("../outside")},
                    NameCase{"folder_then_dot_dot", QStringLiteral("English/../../outside")},
                    NameCase{"absolute_path", QStringLiteral("/tmp")},
                    NameCase{"trailing_slash", QStringLiteral("English/")},
                    NameCase{"backslash", QStringLiteral("..\\outside")},
                    NameCase{"dot", QStringLiteral(".")},
                    NameCase{"zero_character", QStringLiteral("English") + QChar(u'\0') + QStringLiteral("x")},
                    NameCase{"empty", QString()}),
    [](const testing::TestParamInfo<NameCase>& row) { return row.param.name; });

// --- folder names in other scripts ---------------------------------------------------------

struct ForeignName {
    const char* name;
    const char* folder;  // UTF-8
};

class ForeignNameTest : public testing::TestWithParam<ForeignName> {};

TEST_P(ForeignNameTest, PackIsReadUnderItsOwnName)
{
    Packs packs;
    const QString language = QString::fromUtf8(GetParam().folder);
    WriteFile(packs.pack(language) + QStringLiteral("/Main.xml"), MainXml("own"));
    WriteFile(packs.pack(language) + QStringLiteral("/Channels.xml"), ChannelsXml("own"));

    const Taken taken = Read(packs.root(), language);

    EXPECT_EQ(taken.main, QStringLiteral("own"));
    EXPECT_EQ(taken.channels, QStringLiteral("own"));
    EXPECT_EQ(taken.language, language);
    EXPECT_EQ(taken.warnings, 0);
}

INSTANTIATE_TEST_SUITE_P(Names, ForeignNameTest,
                         testing::Values(ForeignName{"cyrillic", "Русский"}, ForeignName{"latin_accents", "Français"},
                                         ForeignName{"greek", "Ελληνικά"}, ForeignName{"japanese", "日本語"},
                                         ForeignName{"hebrew", "עברית"},
                                         ForeignName{"decomposed_accent", "Franc\xCC\xA7" "ais"},
                                         ForeignName{"spaces_and_brackets", "Español (México)"},
                                         ForeignName{"emoji", "TV \xF0\x9F\x93\xBA"}),
                         [](const testing::TestParamInfo<ForeignName>& row) { return row.param.name; });

// A folder whose name is not UTF-8 has no name the program can ask for: the
// nearest (with replacement characters) opens nothing and falls back.
TEST(ForeignNameTest, AFolderNameThatIsNotUtf8IsNeverMatched)
{
    Packs packs;
    const QByteArray raw = Encoded(packs.root()) + "/Fran\xE7" "ais";
    ASSERT_EQ(mkdir(raw.constData(), 0755), 0);
    // Qt cannot list this folder, so the temporary folder cannot remove it.
    const auto remove = qScopeGuard([&raw] {
        unlink((raw + "/Main.xml").constData());
        rmdir(raw.constData());
    });
    const QByteArray main = MainXml("own");
    const int file = open((raw + "/Main.xml").constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(write(file, main.constData(), static_cast<size_t>(main.size())), main.size());
    close(file);

    const Taken taken = Read(packs.root(), QString::fromUtf8("Fran\xE7" "ais"));
    EXPECT_EQ(taken.main, QStringLiteral("English"));
    EXPECT_EQ(taken.language, QStringLiteral("English"));
}

}  // namespace
}  // namespace vantelo
