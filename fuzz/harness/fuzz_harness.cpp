#include "fuzz/harness/fuzz_harness.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <tinyxml.h>

#include "app/settings_store.h"
#include "browser/favorites_store.h"
#include "catalogue/channel_address.h"
#include "catalogue/load_channels.h"
#include "lang/load_language.h"
#include "platform/xml_file.h"

namespace vantelo::fuzz {
namespace {

[[noreturn]] void Broken(const char* what)
{
    std::fprintf(stderr, "fuzz harness: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void Check(bool holds, const char* what)
{
    if (!holds)
        Broken(what);
}

// A good English pack, the fallback of both pack readers.
constexpr char kEnglishMain[] = "<Language><MainMenu><i>File</i></MainMenu><Groups><i>Music</i></Groups></Language>";
constexpr char kEnglishChannels[] =
    "<Channels><Music><c name='One' description='First'/></Music><Spain><c name='Dos' description=''/></Spain>"
    "</Channels>";

void WriteFile(const QString& path, const void* data, std::size_t size)
{
    const QByteArray encoded = QFile::encodeName(path);
    const int file = open(encoded.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0)
        Broken("cannot write into the scratch folder");
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(file, bytes, size);
        if (written <= 0)
            Broken("cannot write into the scratch folder");
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    close(file);
}

// One scratch folder per process, removed at exit; on a RAM disk when there is
// one, because every input is written to it.
class Scratch {
public:
    static const Scratch& Get()
    {
        static const Scratch scratch;
        return scratch;
    }

    QString languages() const { return m_root + QStringLiteral("/Languages"); }
    QString file(const char* name) const { return m_root + QLatin1Char('/') + QLatin1String(name); }

private:
    Scratch()
    {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/vantelo-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            Broken("cannot create the scratch folder");
        m_root = QFile::decodeName(pattern.c_str());
        QDir().mkpath(languages() + QStringLiteral("/English"));
        QDir().mkpath(languages() + QStringLiteral("/Fuzz"));
        WriteFile(languages() + QStringLiteral("/English/Main.xml"), kEnglishMain, sizeof kEnglishMain - 1);
        WriteFile(languages() + QStringLiteral("/English/Channels.xml"), kEnglishChannels, sizeof kEnglishChannels - 1);
        s_root = m_root;
        std::atexit([] { QDir(s_root).removeRecursively(); });
    }

    QString m_root;
    static inline QString s_root;
};

class CountingPrompter : public Prompter {
public:
    void ShowMessage(const QString&, const QString&, PromptIcon) override { ++messages; }
    int messages = 0;
};

bool WithinLimit(const BoundedList<QString>& list, qsizetype units)
{
    for (const QString& text : list.items()) {
        if (text.size() > units)
            return false;
    }
    return true;
}

std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) | (std::uint32_t{bytes[2]} << 16) |
           (std::uint32_t{bytes[3]} << 24);
}

void CheckAddress(const QString& address)
{
    Check(address.size() <= kMaxAddressUnits, "an address longer than the limit");
    Check(address.isEmpty() || !address.back().isSpace(), "an address with trailing white space");
}

}  // namespace

XmlShape BuiltShape(const TiXmlDocument& document)
{
    XmlShape shape;
    std::vector<std::pair<const TiXmlNode*, int>> pending;
    for (const TiXmlNode* node = document.FirstChild(); node != nullptr; node = node->NextSibling())
        pending.emplace_back(node, 1);
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        const TiXmlElement* element = node->ToElement();
        if (element == nullptr)
            continue;
        shape.depth = std::max(shape.depth, depth);
        int attributes = 0;
        for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute != nullptr;
             attribute = attribute->Next())
            ++attributes;
        shape.attributes = std::max(shape.attributes, attributes);
        for (const TiXmlNode* child = element->FirstChild(); child != nullptr; child = child->NextSibling())
            pending.emplace_back(child, depth + 1);
    }
    return shape;
}

void RunMainXml(const std::uint8_t* data, std::size_t size)
{
    const Scratch& scratch = Scratch::Get();
    WriteFile(scratch.languages() + QStringLiteral("/Fuzz/Main.xml"), data, size);
    QString language = QStringLiteral("Fuzz");
    LanguageTexts texts;
    CountingPrompter prompter;
    Check(LoadLanguage(language, texts, prompter, scratch.languages()), "the English fallback was not read");
    if (language == QStringLiteral("Fuzz")) {
        Check(prompter.messages == 0, "a warning although the pack was read");
    } else {
        Check(language == QStringLiteral("English"), "fell back to another language than English");
        Check(prompter.messages == 1, "no single warning before the fallback");
        Check(texts.text(Section::MainMenu, 0) == QStringLiteral("File"), "the fallback texts are not English");
    }
    for (int number = 0; number < kSectionCount; ++number)
        Check(WithinLimit(texts.section(static_cast<Section>(number)), kMaxLanguageTextUnits), "a text over the limit");
}

void RunChannelsXml(const std::uint8_t* data, std::size_t size)
{
    const Scratch& scratch = Scratch::Get();
    WriteFile(scratch.languages() + QStringLiteral("/Fuzz/Channels.xml"), data, size);
    ChannelLists names;
    ChannelLists descriptions;
    Check(LoadChannels(QStringLiteral("Fuzz"), names, descriptions, scratch.languages()),
          "the English fallback was not read");
    for (int table = 0; table < kTableCount; ++table) {
        Check(names[table].size() == descriptions[table].size(), "names and descriptions of different lengths");
        Check(WithinLimit(names[table], kMaxChannelNameUnits), "a channel name over the limit");
        Check(WithinLimit(descriptions[table], kMaxChannelDescriptionUnits), "a description over the limit");
    }
    for (int table = 1; table <= kTableCount; ++table) {
        for (int index = 0; index < names[table - 1].size(); ++index)
            (void)ChannelText(names, MakeChannelCode(table, index));
    }
}

void RunSettingsXml(const std::uint8_t* data, std::size_t size)
{
    const QString path = Scratch::Get().file("Settings.xml");
    WriteFile(path, data, size);
    SettingsRecord record;
    record.language = QStringLiteral("untouched");
    if (LoadSettings(path, record)) {
        Check(record.language.size() <= kMaxSettingsLanguageUnits, "a language name over the limit");
    } else {
        Check(record.language == QStringLiteral("untouched"), "a failed load changed the record");
    }
}

void RunFavoritesXml(const std::uint8_t* data, std::size_t size)
{
    const QString path = Scratch::Get().file("Favorites.xml");
    WriteFile(path, data, size);
    FavoritesLists lists;
    lists.names.append(QStringLiteral("kept"));
    lists.codes.append(1);
    lists.icons.append(2);
    const bool loaded = LoadFavorites(path, lists);
    Check(lists.codes.size() == lists.names.size() && lists.icons.size() == lists.names.size(),
          "favourite lists of different lengths");
    Check(lists.names.at(0) == QStringLiteral("kept"), "the favourites already there were changed");
    Check(loaded || lists.size() == 1, "a failed load appended favourites");
    Check(WithinLimit(lists.names, kMaxFavoriteNameUnits), "a favourite name over the limit");
}

void RunChannelAddress(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t codeBytes[4] = {};
    std::memcpy(codeBytes, data, std::min<std::size_t>(size, 4));
    const ChannelCode code = ReadLittleEndian32(codeBytes);
    CheckAddress(DecodeChannelAddress(code));
    if (size < 8)
        return;

    // The record holds exactly the bytes its length promises (cut or padded
    // with zeros), as the table builder guarantees, so that reading one byte
    // past it is caught. A length over the limit must be refused before any
    // ciphertext is read: the record then holds only what the input gave.
    const std::uint32_t length = ReadLittleEndian32(data + 4);
    const std::size_t given = size - 8;
    std::vector<std::uint8_t> record(4 + (length <= kMaxRecordLength ? length : given));
    std::memcpy(record.data(), data + 4, 4);
    std::memcpy(record.data() + 4, data + 8, std::min<std::size_t>(given, record.size() - 4));

    const std::array<const std::uint8_t*, 3> entries = {record.data(), record.data(), record.data()};
    AddressTable table{};
    for (AddressSubTable& subTable : table.subTables)
        subTable = {entries.data(), entries.size()};
    const QString address = DecodeChannelAddress(code, table);
    CheckAddress(address);
    Check(length <= kMaxRecordLength || address.isEmpty(), "a record over the length limit was read");
}

void RunXmlShape(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text = PrepareXmlText(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const XmlShape counted = MeasureXmlShape(text.constData(), static_cast<std::size_t>(text.size()));
    TiXmlDocument document;
    document.Parse(text.constData(), nullptr, TIXML_ENCODING_UTF8);
    const XmlShape built = BuiltShape(document);
    if (built.depth > counted.depth || built.attributes > counted.attributes) {
        std::fprintf(stderr, "parser built depth %d with %d attributes, the pre-scan counted %d and %d\n", built.depth,
                     built.attributes, counted.depth, counted.attributes);
        Broken("the pre-scan counted less than the parser built");
    }
    if (!document.Error() && (built.depth != counted.depth || built.attributes != counted.attributes)) {
        std::fprintf(stderr, "parser built depth %d with %d attributes, the pre-scan counted %d and %d\n", built.depth,
                     built.attributes, counted.depth, counted.attributes);
        Broken("the pre-scan and a clean parse disagree");
    }
}

}  // namespace vantelo::fuzz
