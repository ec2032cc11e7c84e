#include "tools/probe/probe_command.h"

#include <cmath>
#include <optional>
#include <vector>

#include <unistd.h>

#include <QFile>

#include "catalogue/channel_address.h"
#include "catalogue/channel_lists.h"
#include "catalogue/load_channels.h"
#include "lang/language_pack.h"
#include "tools/catalogue_commands.h"
#include "tools/probe/probe.h"
#include "tools/probe/probe_report.h"

namespace vantelo {
namespace {

// Longest deadline a channel may be given: an hour is already beyond any use.
constexpr double kMaxTimeoutSeconds = 3600;

struct ProbeArguments {
    ProbeOptions options;
    ProbeFormat format = ProbeFormat::Table;
    QString language = kFallbackLanguage;
    std::vector<ChannelCode> codes;
};

int BadArgument(QTextStream& err, const QString& message)
{
    err << "vantelo-catalogue: " << message << '\n';
    return kExitBadArgument;
}

// Reads the options and codes; on a mistake returns its one-line message.
std::optional<QString> ParseArguments(const QStringList& options, ProbeArguments& arguments)
{
    for (qsizetype i = 0; i < options.size(); ++i) {
        const QString& option = options.at(i);
        if (option.startsWith(QLatin1Char('-'))) {
            if (option != QStringLiteral("--concurrency") && option != QStringLiteral("--timeout") &&
                option != QStringLiteral("--format") && option != QStringLiteral("--language"))
                return QStringLiteral("probe has no option %1").arg(option);
            if (i + 1 == options.size())
                return QStringLiteral("%1 needs a value").arg(option);
            const QString value = options.at(++i);
            if (option == QStringLiteral("--concurrency")) {
                bool isNumber = false;
                const int concurrency = value.toInt(&isNumber, 10);
                if (!isNumber || concurrency < 1 || concurrency > kMaxProbeConcurrency)
                    return QStringLiteral("--concurrency takes a whole number from 1 to %1, not %2")
                        .arg(kMaxProbeConcurrency)
                        .arg(value);
                arguments.options.concurrency = concurrency;
            } else if (option == QStringLiteral("--timeout")) {
                bool isNumber = false;
                const double seconds = value.toDouble(&isNumber);
                if (!isNumber || !std::isfinite(seconds) || seconds <= 0 || seconds > kMaxTimeoutSeconds)
                    return QStringLiteral("--timeout takes seconds, more than 0 and at most %1, not %2")
                        .arg(kMaxTimeoutSeconds)
                        .arg(value);
                arguments.options.timeout =
                    std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
            } else if (option == QStringLiteral("--format")) {
                const auto format = ParseProbeFormat(value);
                if (!format)
                    return QStringLiteral("--format takes table, tsv or json, not %1").arg(value);
                arguments.format = *format;
            } else {
                arguments.language = value;
            }
            continue;
        }
        bool isNumber = false;
        const uint code = option.toUInt(&isNumber, 10);
        if (!isNumber || !IsValidChannelCode(code))
            return option + QStringLiteral(" is not a channel code");
        arguments.codes.push_back(code);
    }
    return std::nullopt;
}

std::vector<ChannelCode> AllChannels()
{
    std::vector<ChannelCode> codes;
    for (const CatalogueTable& table : kCatalogueTables) {
        for (int index = 0; index < table.channelCount; ++index)
            codes.push_back(MakeChannelCode(table.number, index));
    }
    return codes;
}

// Progress is for someone watching: only when standard error is a terminal,
// never in a file, a pipe, or a test's string.
bool IsTerminal(const QTextStream& stream)
{
    const auto* file = qobject_cast<const QFile*>(stream.device());
    return file && file->handle() >= 0 && isatty(file->handle()) == 1;
}

}  // namespace

int RunProbeCommand(const QStringList& options, const QString& languagesRoot, QTextStream& out,
                    QTextStream& err)
{
    ProbeArguments arguments;
    if (const auto mistake = ParseArguments(options, arguments))
        return BadArgument(err, *mistake);
    if (arguments.codes.empty())
        arguments.codes = AllChannels();

    ChannelLists names;
    ChannelLists descriptions;
    if (!LoadChannels(arguments.language, names, descriptions, languagesRoot)) {
        err << "vantelo-catalogue: cannot read the channel names of any language pack\n";
        return kExitUnreadablePack;
    }

    std::vector<ProbeTarget> targets;
    targets.reserve(arguments.codes.size());
    for (const ChannelCode code : arguments.codes)
        targets.push_back({code, DecodeChannelAddress(code).toStdString()});

    Probe::Progress progress;
    if (IsTerminal(err)) {
        progress = [&err](std::size_t done, std::size_t total) {
            err << "\rchecked " << done << " of " << total << " channels";
            err.flush();
        };
    }
    const std::vector<ProbeResult> results = Probe(arguments.options).Run(targets, progress);
    if (progress)
        err << '\r' << QString(40, QLatin1Char(' ')) << '\r' << Qt::flush;

    std::vector<ProbeReportRow> rows;
    rows.reserve(results.size());
    for (const ProbeResult& result : results)
        rows.push_back({result, ChannelText(names, result.code)});
    WriteProbeResults(rows, arguments.format, out);
    // The summary follows a table; it would spoil TSV or JSON for the program
    // reading them, so for those it goes to standard error.
    if (arguments.format == ProbeFormat::Table) {
        out << '\n';
        WriteProbeSummary(rows, out);
    } else {
        WriteProbeSummary(rows, err);
    }
    return kExitOk;
}

}  // namespace vantelo
