#include "app/settings_store.h"

#include <array>

#include <tinyxml.h>

#include "platform/atomic_file.h"
#include "platform/leading_integer.h"
#include "platform/xml_file.h"
#include "platform/text_limits.h"

namespace vantelo {
namespace {

// Language, the two window rectangles, then six single numbers.
constexpr int kElementCount = 9;

// A file beyond the bounds of platform/xml_file.h counts as unreadable, so a
// save keeps it aside as <path>.unreadable rather than overwriting it.
bool ParseFile(const QString& path, TiXmlDocument& document)
{
    return LoadXmlFile(path, document) == XmlReadResult::Parsed;
}

WindowRect ReadRect(const TiXmlElement& element)
{
    return {ReadLeadingInteger(element.Attribute("posx")), ReadLeadingInteger(element.Attribute("posy")),
            ReadLeadingInteger(element.Attribute("width")), ReadLeadingInteger(element.Attribute("height"))};
}

std::int32_t ReadNumber(const TiXmlElement& element) { return ReadLeadingInteger(element.Attribute("id")); }

TiXmlElement& AddElement(TiXmlElement& root, const char* name)
{
    return *root.LinkEndChild(new TiXmlElement(name))->ToElement();
}

void AddRect(TiXmlElement& root, const char* name, const WindowRect& rect)
{
    TiXmlElement& element = AddElement(root, name);
    element.SetAttribute("posx", rect.x);
    element.SetAttribute("posy", rect.y);
    element.SetAttribute("width", rect.width);
    element.SetAttribute("height", rect.height);
}

void AddNumber(TiXmlElement& root, const char* name, std::int32_t value)
{
    AddElement(root, name).SetAttribute("id", value);
}

void BuildDocument(const SettingsRecord& record, TiXmlDocument& document)
{
    document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    TiXmlElement& root = *document.LinkEndChild(new TiXmlElement("Settings"))->ToElement();
    AddElement(root, "Language")
        .SetAttribute("name", ToUtf8Limited(record.language, kMaxSettingsLanguageBytes).constData());
    AddRect(root, "MainWindowPos", record.mainWindowPos);
    AddRect(root, "ChannelWindowPos", record.channelWindowPos);
    AddNumber(root, "VolumeSound", record.volumeSound);
    AddNumber(root, "MuteSound", record.muteSound);
    AddNumber(root, "OriginalSize", record.originalSize);
    AddNumber(root, "HideControl", record.hideControl);
    AddNumber(root, "HideMenu", record.hideMenu);
    AddNumber(root, "AlwaysOnTop", record.alwaysOnTop);
}

}  // namespace

bool LoadSettings(const QString& path, SettingsRecord& record)
{
    TiXmlDocument document;
    if (!ParseFile(path, document))
        return false;
    const TiXmlElement* root = document.FirstChildElement();
    if (root == nullptr)
        return false;
    // By position, not by name: files written by older versions or by hand may
    // name the elements differently but keep their order.
    std::array<const TiXmlElement*, kElementCount> elements{};
    const TiXmlElement* next = root->FirstChildElement();
    for (const TiXmlElement*& element : elements) {
        // A file cut short gives the defaults rather than a half-read record.
        if (next == nullptr)
            return false;
        element = next;
        next = next->NextSiblingElement();
    }

    SettingsRecord read;
    const char* language = elements[0]->Attribute("name");
    read.language =
        language != nullptr ? FromUtf8Limited(language, kMaxSettingsLanguageUnits) : SettingsRecord().language;
    read.mainWindowPos = ReadRect(*elements[1]);
    read.channelWindowPos = ReadRect(*elements[2]);
    read.volumeSound = ReadNumber(*elements[3]);
    read.muteSound = ReadNumber(*elements[4]);
    read.originalSize = ReadNumber(*elements[5]);
    read.hideControl = ReadNumber(*elements[6]);
    read.hideMenu = ReadNumber(*elements[7]);
    read.alwaysOnTop = ReadNumber(*elements[8]);
    record = read;
    return true;
}

bool SaveSettings(const QString& path, const SettingsRecord& record)
{
    TiXmlDocument document;
    BuildDocument(record, document);
    return ReplaceFileKeepingUnreadable(
        path, [&document](std::FILE* file) { return document.SaveFile(file); },
        [](const QString& old) {
            SettingsRecord ignored;
            return LoadSettings(old, ignored);
        });
}

}  // namespace vantelo
