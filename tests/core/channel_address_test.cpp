#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <QFile>
#include <QStringList>

#include "catalogue/blowfish.h"
#include "catalogue/channel_address.h"

namespace vantelo {

const AddressTable& TestAddressTable();

namespace {

struct CatalogueRow {
    int table;
    int index;
    QString url;
};

std::vector<CatalogueRow> ReadCatalogue(const QString& path)
{
    std::vector<CatalogueRow> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    file.readLine();  // header
    while (!file.atEnd()) {
        const QStringList fields = QString::fromUtf8(file.readLine()).chopped(1).split(QLatin1Char('\t'));
        if (fields.size() >= 4)
            rows.push_back({fields[0].toInt(), fields[1].toInt(), fields[3]});
    }
    return rows;
}

TEST(ChannelAddressTest, EveryCatalogueCodeDecodesToItsAddress)
{
    const auto rows = ReadCatalogue(QStringLiteral(VANTELO_SOURCE_DIR "/catalogue/channels.tsv"));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kChannelCount));
    for (const CatalogueRow& row : rows)
        EXPECT_EQ(DecodeChannelAddress(MakeChannelCode(row.table, row.index)), row.url)
            << "table " << row.table << " index " << row.index;
}

TEST(ChannelAddressTest, CodesOneAndSixtyFiveThousandFiveHundredFortyNine)
{
    const auto rows = ReadCatalogue(QStringLiteral(VANTELO_SOURCE_DIR "/catalogue/channels.tsv"));
    std::map<std::pair<int, int>, QString> urlOf;
    for (const CatalogueRow& row : rows)
        urlOf[{row.table, row.index}] = row.url;
    EXPECT_EQ(DecodeChannelAddress(1), (urlOf[{1, 0}]));
    EXPECT_EQ(DecodeChannelAddress(65549), (urlOf[{13, 1}]));
}

TEST(ChannelAddressTest, EntriesWithTheSameAddressShareOneRecord)
{
    const AddressTable& table = TestAddressTable();
    const AddressSubTable& music = table.subTables[0];
    ASSERT_EQ(music.count, 3u);
    EXPECT_EQ(music.records[0], music.records[2]);
    EXPECT_EQ(music.records[0], table.subTables[12].records[0]) << "shared across tables too";
    EXPECT_EQ(DecodeChannelAddress(MakeChannelCode(1, 2), table), QStringLiteral("http://127.0.0.1:18080/stream.ts"));
    EXPECT_EQ(DecodeChannelAddress(MakeChannelCode(13, 0), table), QStringLiteral("http://127.0.0.1:18080/stream.ts"));
    EXPECT_EQ(DecodeChannelAddress(MakeChannelCode(1, 1), table),
              QStringLiteral("http://127.0.0.1:18080/hls/index.m3u8"));
}

TEST(ChannelAddressTest, CodesThatNameNoEntryGiveAnEmptyAddress)
{
    const ChannelCode invalidCodes[] = {
        0,                         // no channel
        18,                        // table 18
        MakeChannelCode(0, 1),     // table 0
        MakeChannelCode(1, 51),    // one past the end of Music
        MakeChannelCode(13, 57),   // one past the end of Germany
        0xFFFF0011u,               // largest index in Spain
        0xFFFFFFFFu,
    };
    for (const ChannelCode code : invalidCodes) {
        EXPECT_FALSE(IsValidChannelCode(code)) << code;
        EXPECT_EQ(DecodeChannelAddress(code), QString()) << code;
    }
    // The test table is shorter than the catalogue: its own size bounds the lookup.
    EXPECT_EQ(DecodeChannelAddress(MakeChannelCode(1, 3), TestAddressTable()), QString());
    EXPECT_EQ(DecodeChannelAddress(MakeChannelCode(2, 0), TestAddressTable()), QString());
}

// Builds a one-entry table around a plaintext enciphered by hand, so that
// records the builder never makes can be tried.
class HandMadeRecord {
public:
    explicit HandMadeRecord(const QByteArray& plaintext, std::uint32_t declaredLength = 0)
    {
        QByteArray padded = plaintext;
        while (padded.size() % 8 != 0)
            padded.append('\0');
        BlowfishContext context;
        BlowfishInit(context);
        const auto length = declaredLength ? declaredLength : static_cast<std::uint32_t>(padded.size());
        m_bytes.resize(4 + std::max<std::size_t>(length, static_cast<std::size_t>(padded.size())));
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes[static_cast<std::size_t>(shift / 8)] = static_cast<std::uint8_t>(length >> shift);
        BlowfishEncipherBuffer(context, reinterpret_cast<const std::uint8_t*>(padded.constData()),
                               static_cast<std::size_t>(padded.size()), m_bytes.data() + 4);
        m_records[0] = m_bytes.data();
        m_table.subTables[0] = {m_records, 1};
    }

    QString decode() const { return DecodeChannelAddress(MakeChannelCode(1, 0), m_table); }

private:
    std::vector<std::uint8_t> m_bytes;
    const std::uint8_t* m_records[1] = {};
    AddressTable m_table{};
};

struct RecordCase {
    const char* name;
    QByteArray plaintext;
    QString expected;
};

class DecodeRecordTest : public testing::TestWithParam<RecordCase> {};

TEST_P(DecodeRecordTest, Decodes)
{
    EXPECT_EQ(HandMadeRecord(GetParam().plaintext).decode(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, DecodeRecordTest,
    testing::Values(
        RecordCase{"trailing_white_space", QByteArray("http://a/b \t\r\n\v\f", 16) + QByteArray(1, '\0'),
                   QStringLiteral("http://a/b")},
        RecordCase{"trailing_unicode_spaces", QByteArray("http://a/b\xE3\x80\x80\xC2\xA0\xE2\x80\x83") + QByteArray(1, '\0'),
                   QStringLiteral("http://a/b")},
        RecordCase{"inner_spaces_kept", QByteArray("http://a/b c ") + QByteArray(1, '\0'), QStringLiteral("http://a/b c")},
        RecordCase{"only_white_space", QByteArray("  \t ") + QByteArray(1, '\0'), QString()},
        RecordCase{"stops_at_first_zero", QByteArray("http://a", 8) + QByteArray(1, '\0') + QByteArray("junk"),
                   QStringLiteral("http://a")},
        RecordCase{"no_zero_byte_in_record", QByteArray("http://abcdefgh", 16), QStringLiteral("http://abcdefgh")},
        RecordCase{"utf8_address", QByteArray("http://b\xC3\xBChne.example/") + QByteArray(1, '\0'),
                   QString::fromUtf8("http://b\xC3\xBChne.example/")},
        RecordCase{"longest_allowed", QByteArray(259, 'a') + QByteArray(1, '\0'), QString(259, QLatin1Char('a'))},
        RecordCase{"too_long_is_refused", QByteArray(260, 'a') + QByteArray(1, '\0'), QString()},
        RecordCase{"too_long_before_trimming_is_kept", QByteArray(259, 'a') + QByteArray("   ") + QByteArray(1, '\0'),
                   QString(259, QLatin1Char('a'))}),
    [](const testing::TestParamInfo<RecordCase>& row) { return row.param.name; });

TEST(ChannelAddressTest, ARecordLongerThanTheLimitIsRefused)
{
    EXPECT_EQ(HandMadeRecord(QByteArray("http://a") + QByteArray(1, '\0'), kMaxRecordLength + 8).decode(), QString());
    EXPECT_EQ(HandMadeRecord(QByteArray("http://a") + QByteArray(1, '\0'), 5).decode(), QString())
        << "a length below one block deciphers nothing";
}

}  // namespace
}  // namespace vantelo
