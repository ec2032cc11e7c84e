#include "tools/catalogue_commands.h"

#include "catalogue/channel_address.h"
#include "catalogue/channel_lists.h"
#include "catalogue/load_channels.h"
#include "lang/load_language.h"
#include "platform/invalid_argument_error.h"
#include "tools/probe/probe_command.h"

namespace vantelo {
namespace {

const QString kUsage = QStringLiteral(
    "usage: vantelo-catalogue list [--language NAME]\n"
    "       vantelo-catalogue decode CODE\n"
    "       vantelo-catalogue m3u [--language NAME]\n"
    "       vantelo-catalogue probe [--concurrency N] [--timeout SECONDS] [--format table|tsv|json]\n"
    "                               [--language NAME] [CODE...]\n");

// Language-pack warnings go to standard error, so that they never mix with
// the listing on standard output.
class StreamPrompter final : public Prompter {
public:
    explicit StreamPrompter(QTextStream& err) : m_err(err) {}
    void ShowMessage(const QString& caption, const QString& text, PromptIcon) override
    {
        m_err << caption << ": " << text << '\n';
    }

private:
    QTextStream& m_err;
};

int BadArgument(QTextStream& err, const QString& message)
{
    err << "vantelo-catalogue: " << message << '\n';
    return kExitBadArgument;
}

// Reads "--language NAME" if it is all that follows the command.
bool ParseLanguageOption(const QStringList& options, QString& language)
{
    language = kFallbackLanguage;
    if (options.isEmpty())
        return true;
    if (options.size() == 2 && options.at(0) == QStringLiteral("--language")) {
        language = options.at(1);
        return true;
    }
    return false;
}

int List(const QString& language, const QString& languagesRoot, QTextStream& out, QTextStream& err)
{
    ChannelLists names;
    ChannelLists descriptions;
    if (!LoadChannels(language, names, descriptions, languagesRoot)) {
        err << "vantelo-catalogue: cannot read the channel names of any language pack\n";
        return kExitUnreadablePack;
    }
    for (const CatalogueTable& table : kCatalogueTables) {
        for (int index = 0; index < table.channelCount; ++index) {
            const ChannelCode code = MakeChannelCode(table.number, index);
            out << code << '\t' << table.number << '\t' << index << '\t' << ChannelText(names, code) << '\n';
        }
    }
    return kExitOk;
}

int Decode(const QString& codeText, QTextStream& out, QTextStream& err)
{
    bool isNumber = false;
    const uint code = codeText.toUInt(&isNumber, 10);
    if (!isNumber || !IsValidChannelCode(code))
        return BadArgument(err, codeText + QStringLiteral(" is not a channel code"));
    out << DecodeChannelAddress(code) << '\n';
    return kExitOk;
}

// Attribute values of #EXTINF lines cannot hold a double quote.
QString AttributeValue(const QString& text)
{
    QString value = text;
    value.replace(QLatin1Char('"'), QLatin1Char('\''));
    return value;
}

QString GroupTitle(const LanguageTexts& texts, int table)
{
    if (IsCountryTable(table))
        return texts.text(Section::Countries, table - kGenreTableCount - 1);
    return texts.text(Section::Groups, table);
}

int M3u(QString language, const QString& languagesRoot, QTextStream& out, QTextStream& err)
{
    StreamPrompter prompter(err);
    LanguageTexts texts;
    ChannelLists names;
    ChannelLists descriptions;
    if (!LoadLanguage(language, texts, prompter, languagesRoot) ||
        !LoadChannels(language, names, descriptions, languagesRoot)) {
        err << "vantelo-catalogue: cannot read any language pack\n";
        return kExitUnreadablePack;
    }
    out << "#EXTM3U\n";
    for (const CatalogueTable& table : kCatalogueTables) {
        const QString group = AttributeValue(GroupTitle(texts, table.number));
        for (int index = 0; index < table.channelCount; ++index) {
            const ChannelCode code = MakeChannelCode(table.number, index);
            const QString name = ChannelText(names, code);
            out << "#EXTINF:-1 tvg-name=\"" << AttributeValue(name) << "\" group-title=\"" << group << "\","
                << name << '\n'
                << DecodeChannelAddress(code) << '\n';
        }
    }
    return kExitOk;
}

}  // namespace

int RunCatalogueTool(const QStringList& arguments, const QString& languagesRoot, QTextStream& out,
                     QTextStream& err)
{
    if (arguments.isEmpty())
        return BadArgument(err, QStringLiteral("a command is needed\n") + kUsage);
    const QString command = arguments.first();
    const QStringList options = arguments.mid(1);
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h")) {
        out << kUsage;
        return kExitOk;
    }
    try {
        QString language;
        if (command == QStringLiteral("list") && ParseLanguageOption(options, language))
            return List(language, languagesRoot, out, err);
        if (command == QStringLiteral("m3u") && ParseLanguageOption(options, language))
            return M3u(language, languagesRoot, out, err);
        if (command == QStringLiteral("decode") && options.size() == 1)
            return Decode(options.first(), out, err);
        if (command == QStringLiteral("probe"))
            return RunProbeCommand(options, languagesRoot, out, err);
    } catch (const InvalidArgumentError&) {
        err << "vantelo-catalogue: the language pack lacks some texts or channel names\n";
        return kExitUnreadablePack;
    }
    return BadArgument(err, QStringLiteral("bad arguments: ") + arguments.join(QLatin1Char(' ')) +
                                QLatin1Char('\n') + kUsage);
}

}  // namespace vantelo
