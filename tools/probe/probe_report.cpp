#include "tools/probe/probe_report.h"

#include <array>
#include <map>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace vantelo {
namespace {

// Names longer than this are cut in the table, so that one long name does not
// push every detail off the screen.
constexpr qsizetype kTableNameWidth = 40;

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A field of a TSV line cannot hold a tab or a line end.
QString TsvField(QString text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return text;
}

QString Milliseconds(const ProbeResult& result)
{
    return result.firstMediaMs ? QString::number(*result.firstMediaMs) : QString();
}

QStringList Fields(const ProbeReportRow& row)
{
    const ProbeResult& r = row.result;
    return {QString::number(r.code),        QString::number(TableOf(r.code)), QString::number(IndexOf(r.code)),
            row.name,                       Text(VerdictName(r.verdict)),     Text(r.detail),
            Milliseconds(r)};
}

void WriteTsv(const std::vector<ProbeReportRow>& rows, QTextStream& out)
{
    for (const ProbeReportRow& row : rows) {
        QStringList fields = Fields(row);
        for (QString& field : fields)
            field = TsvField(field);
        out << fields.join(QLatin1Char('\t')) << '\n';
    }
}

void WriteJson(const std::vector<ProbeReportRow>& rows, QTextStream& out)
{
    QJsonArray array;
    for (const ProbeReportRow& row : rows) {
        const ProbeResult& r = row.result;
        QJsonObject object;
        object.insert(QStringLiteral("code"), static_cast<qint64>(r.code));
        object.insert(QStringLiteral("table"), TableOf(r.code));
        object.insert(QStringLiteral("index"), IndexOf(r.code));
        object.insert(QStringLiteral("name"), row.name);
        object.insert(QStringLiteral("verdict"), Text(VerdictName(r.verdict)));
        object.insert(QStringLiteral("detail"), Text(r.detail));
        object.insert(QStringLiteral("ms"), r.firstMediaMs ? QJsonValue(static_cast<qint64>(*r.firstMediaMs))
                                                           : QJsonValue(QJsonValue::Null));
        array.append(object);
    }
    out << QJsonDocument(array).toJson(QJsonDocument::Indented);
}

void WriteTable(const std::vector<ProbeReportRow>& rows, QTextStream& out)
{
    // Columns in the order people read them: the detail, the longest, last.
    const QStringList headings = {QStringLiteral("CODE"), QStringLiteral("TABLE"),   QStringLiteral("INDEX"),
                                  QStringLiteral("NAME"), QStringLiteral("VERDICT"), QStringLiteral("MS"),
                                  QStringLiteral("DETAIL")};
    std::vector<QStringList> lines;
    lines.reserve(rows.size());
    for (const ProbeReportRow& row : rows) {
        const QStringList f = Fields(row);
        QString name = f[3];
        if (name.size() > kTableNameWidth)
            name = name.left(kTableNameWidth - 1) + QChar(0x2026);
        lines.push_back({f[0], f[1], f[2], name, f[4], f[6], TsvField(f[5])});
    }
    std::array<qsizetype, 7> widths{};
    for (qsizetype i = 0; i < headings.size(); ++i)
        widths[static_cast<std::size_t>(i)] = headings[i].size();
    for (const QStringList& line : lines) {
        for (qsizetype i = 0; i < line.size(); ++i)
            widths[static_cast<std::size_t>(i)] = std::max(widths[static_cast<std::size_t>(i)], line[i].size());
    }
    const auto write = [&](const QStringList& line) {
        QString text;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const bool last = i + 1 == line.size();
            const bool number = i <= 2 || i == 5;
            const auto width = widths[static_cast<std::size_t>(i)];
            text += last ? line[i] : number ? line[i].rightJustified(width) : line[i].leftJustified(width);
            if (!last)
                text += QStringLiteral("  ");
        }
        out << text << '\n';
    };
    write(headings);
    for (const QStringList& line : lines)
        write(line);
}

}  // namespace

std::optional<ProbeFormat> ParseProbeFormat(const QString& name)
{
    if (name == QStringLiteral("table"))
        return ProbeFormat::Table;
    if (name == QStringLiteral("tsv"))
        return ProbeFormat::Tsv;
    if (name == QStringLiteral("json"))
        return ProbeFormat::Json;
    return std::nullopt;
}

void WriteProbeResults(const std::vector<ProbeReportRow>& rows, ProbeFormat format, QTextStream& out)
{
    switch (format) {
    case ProbeFormat::Table: WriteTable(rows, out); break;
    case ProbeFormat::Tsv: WriteTsv(rows, out); break;
    case ProbeFormat::Json: WriteJson(rows, out); break;
    }
}

void WriteProbeSummary(const std::vector<ProbeReportRow>& rows, QTextStream& out)
{
    using Counts = std::array<int, kVerdicts.size()>;
    Counts total{};
    std::map<int, Counts> perTable;
    for (const ProbeReportRow& row : rows) {
        const auto verdict = static_cast<std::size_t>(row.result.verdict);
        ++total[verdict];
        ++perTable[TableOf(row.result.code)][verdict];
    }

    QStringList parts;
    for (const Verdict verdict : kVerdicts)
        parts << QStringLiteral("%1 %2").arg(total[static_cast<std::size_t>(verdict)]).arg(Text(VerdictName(verdict)));
    out << rows.size() << (rows.size() == 1 ? " channel: " : " channels: ") << parts.join(QStringLiteral(", "))
        << '\n';

    // One column per verdict, as wide as its name; the table column as wide
    // as the longest table name.
    qsizetype tableWidth = 5;
    for (const auto& [table, counts] : perTable) {
        if (table >= 1 && table <= kTableCount)
            tableWidth = std::max(tableWidth, qsizetype(3 + qstrlen(kCatalogueTables[table - 1].elementName)));
    }
    QString heading = QStringLiteral("table").leftJustified(tableWidth);
    for (const Verdict verdict : kVerdicts)
        heading += QStringLiteral("  ") + Text(VerdictName(verdict));
    out << heading << '\n';
    for (const auto& [table, counts] : perTable) {
        const QString name = table >= 1 && table <= kTableCount
                                 ? QString::fromLatin1(kCatalogueTables[table - 1].elementName)
                                 : QString();
        QString line = (QString::number(table).rightJustified(2) + QLatin1Char(' ') + name).leftJustified(tableWidth);
        for (const Verdict verdict : kVerdicts) {
            line += QStringLiteral("  ") + QString::number(counts[static_cast<std::size_t>(verdict)])
                                               .rightJustified(VerdictName(verdict).size());
        }
        out << line << '\n';
    }
}

}  // namespace vantelo
