#include "catalogue/load_channels.h"

#include <tinyxml.h>

#include "platform/text_limits.h"

namespace vantelo {
namespace {

const QString kChannelsFile = QStringLiteral("Channels.xml");

// A pack file that is refused (too large, nested too deeply, a link) counts as
// missing, like one that does not parse.
bool ParsePackFile(const QString& languagesRoot, const QString& language, TiXmlDocument& document)
{
    return LoadPackFile(languagesRoot, language, kChannelsFile, document) == XmlReadResult::Parsed;
}

void AppendTables(const TiXmlDocument& document, ChannelLists& names, ChannelLists& descriptions)
{
    const TiXmlElement* root = document.FirstChildElement();
    if (root == nullptr)
        return;
    for (const CatalogueTable& table : kCatalogueTables) {
        const TiXmlElement* tableElement = root->FirstChildElement(table.elementName);
        if (tableElement == nullptr)
            continue;
        // A table whose first node is a comment or text counts as empty.
        const TiXmlNode* first = tableElement->FirstChild();
        const TiXmlElement* channel = first ? first->ToElement() : nullptr;
        for (; channel != nullptr; channel = channel->NextSiblingElement()) {
            // A missing attribute still takes its position, so codes stay aligned.
            names[table.number - 1].append(FromUtf8Limited(channel->Attribute("name"), kMaxChannelNameUnits));
            descriptions[table.number - 1].append(
                FromUtf8Limited(channel->Attribute("description"), kMaxChannelDescriptionUnits));
        }
    }
}

}  // namespace

bool LoadChannels(const QString& language, ChannelLists& names, ChannelLists& descriptions,
                  const QString& languagesRoot)
{
    TiXmlDocument document;
    if (!ParsePackFile(languagesRoot, language, document)) {
        TiXmlDocument fallback;
        if (!ParsePackFile(languagesRoot, kFallbackLanguage, fallback))
            return false;
        AppendTables(fallback, names, descriptions);
        return true;
    }
    AppendTables(document, names, descriptions);
    return true;
}

}  // namespace vantelo
