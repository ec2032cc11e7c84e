#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include "catalogue/load_channels.h"
#include "lang/load_language.h"
#include "support/recording_prompter.h"

namespace vantelo {
namespace {

const QString kShippedPacks = QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages");

TEST(EnglishPackTest, HoldsEverySectionWithItsEntries)
{
    test::RecordingPrompter prompter;
    QString language = QStringLiteral("English");
    LanguageTexts texts;
    ASSERT_TRUE(LoadLanguage(language, texts, prompter, kShippedPacks));
    EXPECT_TRUE(prompter.messages.isEmpty());
    for (int number = 0; number < kSectionCount; ++number) {
        const auto& section = texts.section(static_cast<Section>(number));
        EXPECT_GE(section.size(), kSectionMinimumEntries[number]) << kSectionElementNames[number];
        for (const QString& text : section.items())
            EXPECT_FALSE(text.isEmpty()) << kSectionElementNames[number];
    }
    EXPECT_EQ(texts.text(Section::MainMenu, 3), QStringLiteral("&Help"));
}

TEST(EnglishPackTest, NamesEveryCatalogueChannelInTableOrder)
{
    ChannelLists names;
    ChannelLists descriptions;
    ASSERT_TRUE(LoadChannels(QStringLiteral("English"), names, descriptions, kShippedPacks));

    QFile catalogue(QStringLiteral(VANTELO_SOURCE_DIR "/catalogue/channels.tsv"));
    ASSERT_TRUE(catalogue.open(QIODevice::ReadOnly));
    catalogue.readLine();
    int rows = 0;
    while (!catalogue.atEnd()) {
        const QStringList fields = QString::fromUtf8(catalogue.readLine()).chopped(1).split(QLatin1Char('\t'));
        const ChannelCode code = MakeChannelCode(fields[0].toInt(), fields[1].toInt());
        EXPECT_EQ(ChannelText(names, code), fields[2]) << code;
        EXPECT_FALSE(ChannelText(descriptions, code).isEmpty()) << code;
        ++rows;
    }
    EXPECT_EQ(rows, kChannelCount);
    for (const CatalogueTable& table : kCatalogueTables)
        EXPECT_EQ(names[table.number - 1].size(), table.channelCount) << table.elementName;
}

}  // namespace
}  // namespace vantelo
