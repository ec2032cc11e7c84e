#include <gtest/gtest.h>

#include <QStringList>

#include "support/language_folder.h"
#include "support/catalogue_tool_run.h"

namespace vantelo {
namespace {

using test::RunTool;
using test::ToolRun;

const QString kShippedPacks = QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages");

TEST(CatalogueToolTest, BadArgumentsGiveOneLineAndStatusTwo)
{
    const QStringList badRuns[] = {
        {},
        {QStringLiteral("decode")},
        {QStringLiteral("decode"), QStringLiteral("18")},
        {QStringLiteral("decode"), QStringLiteral("0")},
        {QStringLiteral("decode"), QStringLiteral("-1")},
        {QStringLiteral("decode"), QStringLiteral("abc")},
        {QStringLiteral("decode"), QStringLiteral("4294967296")},
        {QStringLiteral("list"), QStringLiteral("--language")},
        {QStringLiteral("list"), QStringLiteral("--colour"), QStringLiteral("red")},
        {QStringLiteral("play")},
    };
    for (const QStringList& arguments : badRuns) {
        const ToolRun run = RunTool(arguments, kShippedPacks);
        EXPECT_EQ(run.status, kExitBadArgument) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("vantelo-catalogue: ")));
    }
}

TEST(CatalogueToolTest, M3uGroupsChannelsByThePacksTexts)
{
    const ToolRun run = RunTool({QStringLiteral("m3u")}, kShippedPacks);
    ASSERT_EQ(run.status, kExitOk) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 2 * 408);
    EXPECT_EQ(lines[0], QStringLiteral("#EXTM3U"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("#EXTINF:-1 tvg-name=\"")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("group-title=\"Music\"")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("http")));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("http")));
    EXPECT_TRUE(lines[lines.size() - 2].contains(QStringLiteral("group-title=\"Spain\"")));
}

TEST(CatalogueToolTest, AMissingPackFollowsTheFallback)
{
    const ToolRun list = RunTool({QStringLiteral("list"), QStringLiteral("--language"), QStringLiteral("Klingon")},
                             kShippedPacks);
    EXPECT_EQ(list.status, kExitOk);
    EXPECT_EQ(list.out.count(QLatin1Char('\n')), 408);

    const ToolRun m3u = RunTool({QStringLiteral("m3u"), QStringLiteral("--language"), QStringLiteral("Klingon")},
                            kShippedPacks);
    EXPECT_EQ(m3u.status, kExitOk);
    EXPECT_EQ(m3u.err, QStringLiteral("Warning: Cannot open Klingon language file, will be used English.\n"));

    test::LanguageFolder empty;
    const ToolRun nothing = RunTool({QStringLiteral("list")}, empty.root());
    EXPECT_EQ(nothing.status, kExitUnreadablePack);
}

TEST(CatalogueToolTest, AShortPackIsReportedNotCrashedOn)
{
    test::LanguageFolder folder;
    folder.write(QStringLiteral("English"), QStringLiteral("Channels.xml"), "<C><Music><c name='only one'/></Music></C>");
    const ToolRun run = RunTool({QStringLiteral("list")}, folder.root());
    EXPECT_EQ(run.status, kExitUnreadablePack);
    EXPECT_TRUE(run.err.contains(QStringLiteral("lacks")));
}

}  // namespace
}  // namespace vantelo
