#include "lang/load_language.h"

#include <tinyxml.h>

#include "platform/text_limits.h"

namespace vantelo {
namespace {

const QString kMainFile = QStringLiteral("Main.xml");

// A pack file that is refused (too large, nested too deeply, a link) counts as
// missing, like one that does not parse.
bool ParsePackFile(const QString& languagesRoot, const QString& language, TiXmlDocument& document)
{
    return LoadPackFile(languagesRoot, language, kMainFile, document) == XmlReadResult::Parsed;
}

void AppendSections(const TiXmlDocument& document, LanguageTexts& texts)
{
    const TiXmlElement* root = document.FirstChildElement();
    if (root == nullptr)
        return;
    for (int number = 0; number < kSectionCount; ++number) {
        const TiXmlElement* sectionElement = root->FirstChildElement(kSectionElementNames[number]);
        if (sectionElement == nullptr)
            continue;
        // A section whose first node is a comment or text counts as empty.
        const TiXmlNode* first = sectionElement->FirstChild();
        const TiXmlElement* entry = first ? first->ToElement() : nullptr;
        auto& list = texts.section(static_cast<Section>(number));
        for (; entry != nullptr; entry = entry->NextSiblingElement())
            list.append(FromUtf8Limited(entry->GetText(), kMaxLanguageTextUnits));
    }
}

}  // namespace

QString LanguageFallbackMessage(const QString& language)
{
    return QStringLiteral("Cannot open ") + language + QStringLiteral(" language file, will be used English.");
}

bool LoadLanguage(QString& language, LanguageTexts& texts, Prompter& prompter, const QString& languagesRoot)
{
    TiXmlDocument chosen;
    if (ParsePackFile(languagesRoot, language, chosen)) {
        AppendSections(chosen, texts);
        return true;
    }
    // A file that does not parse is treated like a missing one, so the program
    // never runs on empty texts.
    prompter.ShowMessage(QStringLiteral("Warning"), LanguageFallbackMessage(language), PromptIcon::Warning);
    language = kFallbackLanguage;
    TiXmlDocument fallback;
    if (!ParsePackFile(languagesRoot, kFallbackLanguage, fallback))
        return false;
    AppendSections(fallback, texts);
    return true;
}

}  // namespace vantelo
