#include <gtest/gtest.h>

#include <QString>

#include "platform/bounded_list.h"
#include "platform/event_guard.h"
#include "support/recording_prompter.h"

namespace vantelo {
namespace {

TEST(BoundedListTest, EveryAccessByPositionIsChecked)
{
    BoundedList<int> list{10, 20, 30};
    EXPECT_EQ(list.at(2), 30);
    EXPECT_THROW(list.at(3), InvalidArgumentError);
    EXPECT_THROW(list.at(-1), InvalidArgumentError);
    EXPECT_THROW(list.set(3, 1), InvalidArgumentError);
    EXPECT_THROW(list.removeAt(3), InvalidArgumentError);
    EXPECT_THROW(list.swapItems(0, 3), InvalidArgumentError);
    EXPECT_EQ(list, (BoundedList<int>{10, 20, 30})) << "a failed access changes nothing";

    list.swapItems(0, 2);
    list.removeAt(1);
    EXPECT_EQ(list, (BoundedList<int>{30, 10}));
    list.clear();
    EXPECT_THROW(list.at(0), InvalidArgumentError);
}

TEST(EventGuardTest, ReportsABadPositionOnceAndKeepsWhatWasDone)
{
    test::RecordingPrompter prompter;
    BoundedList<QString> texts{QStringLiteral("first")};
    QStringList shown;

    const bool completed = RunGuarded(prompter, [&] {
        shown << texts.at(0);
        shown << texts.at(1);
        shown << QStringLiteral("never reached");
    });

    EXPECT_FALSE(completed);
    EXPECT_EQ(shown, QStringList{QStringLiteral("first")});
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("An invalid argument was encountered."));

    EXPECT_TRUE(RunGuarded(prompter, [] {}));
    EXPECT_EQ(prompter.messages.size(), 1);
}

}  // namespace
}  // namespace vantelo
