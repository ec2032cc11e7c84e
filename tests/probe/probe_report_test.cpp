#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include "tools/probe/probe_report.h"

namespace vantelo {
namespace {

// One row per verdict, with the awkward bits a report must survive: a tab and
// a line end in texts, a name that is not ASCII.
std::vector<ProbeReportRow> SampleRows()
{
    return {
        {{MakeChannelCode(1, 0), Verdict::Ok, "MPEG-TS stream", 42}, QStringLiteral("Music One")},
        {{MakeChannelCode(1, 3), Verdict::HttpError, "HTTP 404", std::nullopt}, QStringLiteral("Tab\tName")},
        {{MakeChannelCode(13, 1), Verdict::Timeout, "first byte", std::nullopt}, QStringLiteral("Das Erste")},
        {{MakeChannelCode(13, 2), Verdict::ConnectionFailed, "Could not resolve host: x\ny", std::nullopt},
         QStringLiteral("ZDF")},
        {{MakeChannelCode(12, 0), Verdict::NotMedia, "text/html, first bytes 3c", std::nullopt},
         QStringLiteral("Первый канал")},
        {{MakeChannelCode(17, 41), Verdict::GeoBlocked, "HTTP 403", std::nullopt}, QStringLiteral("La 1")},
    };
}

QString Written(const std::vector<ProbeReportRow>& rows, ProbeFormat format)
{
    QString text;
    QTextStream stream(&text);
    WriteProbeResults(rows, format, stream);
    stream.flush();
    return text;
}

TEST(ProbeReportTest, FormatsAreKnownByName)
{
    EXPECT_EQ(ParseProbeFormat(QStringLiteral("table")), ProbeFormat::Table);
    EXPECT_EQ(ParseProbeFormat(QStringLiteral("tsv")), ProbeFormat::Tsv);
    EXPECT_EQ(ParseProbeFormat(QStringLiteral("json")), ProbeFormat::Json);
    EXPECT_FALSE(ParseProbeFormat(QStringLiteral("JSON")));
    EXPECT_FALSE(ParseProbeFormat(QString()));
}

TEST(ProbeReportTest, TsvHasSevenFieldsPerChannel)
{
    const auto rows = SampleRows();
    const QStringList lines = Written(rows, ProbeFormat::Tsv).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QStringList fields = lines[static_cast<qsizetype>(i)].split(QLatin1Char('\t'));
        ASSERT_EQ(fields.size(), 7) << lines[static_cast<qsizetype>(i)].toStdString();
        const ProbeResult& r = rows[i].result;
        EXPECT_EQ(fields[0].toUInt(), r.code);
        EXPECT_EQ(fields[1].toInt(), TableOf(r.code));
        EXPECT_EQ(fields[2].toInt(), IndexOf(r.code));
        EXPECT_EQ(fields[4].toStdString(), VerdictName(r.verdict));
        EXPECT_EQ(fields[6], r.firstMediaMs ? QString::number(*r.firstMediaMs) : QString());
    }
    EXPECT_EQ(lines[1].split(QLatin1Char('\t'))[3], QStringLiteral("Tab Name"));
    EXPECT_EQ(lines[3].split(QLatin1Char('\t'))[5], QStringLiteral("Could not resolve host: x y"));
    EXPECT_EQ(lines[4].split(QLatin1Char('\t'))[3], QStringLiteral("Первый канал"));
}

TEST(ProbeReportTest, JsonIsAnArrayOfChannels)
{
    const auto rows = SampleRows();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(Written(rows, ProbeFormat::Json).toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_TRUE(document.isArray());
    const QJsonArray array = document.array();
    ASSERT_EQ(array.size(), static_cast<qsizetype>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QJsonObject object = array[static_cast<qsizetype>(i)].toObject();
        const ProbeResult& r = rows[i].result;
        EXPECT_EQ(object[QStringLiteral("code")].toInteger(), r.code);
        EXPECT_EQ(object[QStringLiteral("table")].toInt(), TableOf(r.code));
        EXPECT_EQ(object[QStringLiteral("index")].toInt(), IndexOf(r.code));
        EXPECT_EQ(object[QStringLiteral("name")].toString(), rows[i].name);
        EXPECT_EQ(object[QStringLiteral("verdict")].toString().toStdString(), VerdictName(r.verdict));
        EXPECT_EQ(object[QStringLiteral("detail")].toString().toStdString(), r.detail);
        if (r.firstMediaMs)
            EXPECT_EQ(object[QStringLiteral("ms")].toInteger(), *r.firstMediaMs);
        else
            EXPECT_TRUE(object[QStringLiteral("ms")].isNull());
    }
    EXPECT_EQ(Written({}, ProbeFormat::Json).trimmed(), QStringLiteral("[\n]"));
}

TEST(ProbeReportTest, TableColumnsLineUp)
{
    const QStringList lines = Written(SampleRows(), ProbeFormat::Table).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0].split(QLatin1Char(' '), Qt::SkipEmptyParts),
              QStringList({"CODE", "TABLE", "INDEX", "NAME", "VERDICT", "MS", "DETAIL"}));
    // Every verdict starts under its heading, however long the name before it.
    const qsizetype verdictColumn = lines[0].indexOf(QStringLiteral("VERDICT"));
    const qsizetype detailColumn = lines[0].indexOf(QStringLiteral("DETAIL"));
    const char* verdicts[] = {"ok", "http-error", "timeout", "connection-failed", "not-media", "geo-blocked"};
    for (int i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].indexOf(QString::fromLatin1(verdicts[i - 1]), verdictColumn), verdictColumn)
            << lines[i].toStdString();
        EXPECT_NE(lines[i].at(detailColumn), QLatin1Char(' ')) << lines[i].toStdString();
    }
}

TEST(ProbeReportTest, TheSummaryCountsPerVerdictAndPerTable)
{
    auto rows = SampleRows();
    rows.push_back({{MakeChannelCode(13, 3), Verdict::Ok, "HLS", 7}, QStringLiteral("3sat")});
    QString text;
    QTextStream stream(&text);
    WriteProbeSummary(rows, stream);
    stream.flush();
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);  // totals, heading, tables 1, 12, 13, 17
    EXPECT_EQ(lines[0], QStringLiteral("7 channels: 2 ok, 1 http-error, 1 timeout, 1 connection-failed, "
                                       "1 not-media, 1 geo-blocked"));
    const auto counts = [&](int line) {
        QStringList words = lines[line].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        return words.mid(2);  // after the table's number and name
    };
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral(" 1 Music")));
    EXPECT_EQ(counts(2), QStringList({"1", "1", "0", "0", "0", "0"}));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("13 Germany")));
    EXPECT_EQ(counts(4), QStringList({"1", "0", "1", "1", "0", "0"}));
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("17 Spain")));
    EXPECT_EQ(counts(5), QStringList({"0", "0", "0", "0", "0", "1"}));
}

}  // namespace
}  // namespace vantelo
