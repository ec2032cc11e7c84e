#include <gtest/gtest.h>

#include <QStringList>

#include "support/catalogue_tool_run.h"

namespace vantelo {
namespace {

using test::RunTool;
using test::ToolRun;

const QString kShippedPacks = QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages");

// Every one of these is refused before any request is made: the valid code
// 65549 in some of them would otherwise send one.
TEST(ProbeCommandTest, BadArgumentsGiveOneLineAndStatusTwo)
{
    const QStringList badRuns[] = {
        {"probe", "18"},
        {"probe", "65549", "0"},
        {"probe", "65549", "abc"},
        {"probe", "-1"},
        {"probe", "65549", "--concurrency"},
        {"probe", "--concurrency", "0", "65549"},
        {"probe", "--concurrency", "513", "65549"},
        {"probe", "--concurrency", "many", "65549"},
        {"probe", "--timeout", "0", "65549"},
        {"probe", "--timeout", "-3", "65549"},
        {"probe", "--timeout", "nan", "65549"},
        {"probe", "--timeout", "inf", "65549"},
        {"probe", "--timeout", "3601", "65549"},
        {"probe", "--format", "xml", "65549"},
        {"probe", "--colour", "red", "65549"},
        {"probe", "--language"},
    };
    for (const QStringList& arguments : badRuns) {
        const ToolRun run = RunTool(arguments, kShippedPacks);
        EXPECT_EQ(run.status, kExitBadArgument) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("vantelo-catalogue: "))) << run.err.toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
    }
}

TEST(ProbeCommandTest, NoChannelNamesNoProbe)
{
    const ToolRun run = RunTool({"probe", "65549"}, QStringLiteral("/nonexistent/Languages"));
    EXPECT_EQ(run.status, kExitUnreadablePack);
    EXPECT_TRUE(run.out.isEmpty());
}

TEST(ProbeCommandTest, TheUsageNamesTheProbe)
{
    const ToolRun run = RunTool({"--help"}, kShippedPacks);
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_TRUE(run.out.contains(QStringLiteral("vantelo-catalogue probe [--concurrency N] [--timeout SECONDS]")));
}

}  // namespace
}  // namespace vantelo
