#include "browser/favorites_store.h"

#include <tinyxml.h>

#include "platform/atomic_file.h"
#include "platform/leading_integer.h"
#include "platform/xml_file.h"
#include "platform/text_limits.h"

namespace vantelo {
namespace {

// A file beyond the bounds of platform/xml_file.h counts as unreadable, so a
// save keeps it aside as <path>.unreadable rather than overwriting it.
bool ParseFile(const QString& path, TiXmlDocument& document)
{
    return LoadXmlFile(path, document) == XmlReadResult::Parsed;
}

void ReadFavorites(const TiXmlDocument& document, FavoritesLists& lists)
{
    const TiXmlElement* root = document.FirstChildElement();
    if (root == nullptr)
        return;
    // As in the language packs, a list whose first node is a comment or text
    // counts as empty.
    const TiXmlNode* first = root->FirstChild();
    for (const TiXmlElement* channel = first != nullptr ? first->ToElement() : nullptr; channel != nullptr;
         channel = channel->NextSiblingElement()) {
        lists.names.append(FromUtf8Limited(channel->Attribute("name"), kMaxFavoriteNameUnits));
        // Codes are written as signed numbers; the cast gives back the full 32 bits.
        lists.codes.append(static_cast<ChannelCode>(ReadLeadingInteger(channel->Attribute("id"))));
        lists.icons.append(static_cast<quint32>(ReadLeadingInteger(channel->Attribute("icon"))));
    }
}

void BuildDocument(const FavoritesLists& lists, TiXmlDocument& document)
{
    document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    TiXmlElement& root = *document.LinkEndChild(new TiXmlElement("Favorites"))->ToElement();
    for (qsizetype position = 0; position < lists.size(); ++position) {
        TiXmlElement& channel = *root.LinkEndChild(new TiXmlElement("Channel"))->ToElement();
        channel.SetAttribute("name", ToUtf8Limited(lists.names.at(position), kMaxFavoriteNameBytes).constData());
        channel.SetAttribute("id", static_cast<int>(lists.codes.at(position)));
        channel.SetAttribute("icon", static_cast<int>(lists.icons.at(position)));
    }
}

void AppendLists(const FavoritesLists& from, FavoritesLists& to)
{
    for (qsizetype position = 0; position < from.size(); ++position) {
        to.names.append(from.names.at(position));
        to.codes.append(from.codes.at(position));
        to.icons.append(from.icons.at(position));
    }
}

}  // namespace

bool LoadFavorites(const QString& path, FavoritesLists& lists)
{
    TiXmlDocument document;
    if (!ParseFile(path, document))
        return false;
    FavoritesLists read;
    ReadFavorites(document, read);
    AppendLists(read, lists);
    return true;
}

bool SaveFavorites(const QString& path, const FavoritesLists& lists)
{
    // Built first, so that inconsistent lists stop the save before any file is touched.
    TiXmlDocument document;
    BuildDocument(lists, document);
    return ReplaceFileKeepingUnreadable(
        path, [&document](std::FILE* file) { return document.SaveFile(file); },
        [](const QString& old) {
            FavoritesLists ignored;
            return LoadFavorites(old, ignored);
        });
}

}  // namespace vantelo
