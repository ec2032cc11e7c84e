// The run-time language switch: an operation of the main window that belongs
// with the language packs.

#include "app/main_window.h"

#include "catalogue/load_channels.h"
#include "lang/load_language.h"

namespace vantelo {

bool CLuvaneDlg::ReloadLanguage()
{
    // Load into fresh lists first, so that the windows keep showing complete
    // texts while the fallback warning is open, and keep them when no pack can
    // be read at all.
    LanguageTexts texts;
    ChannelLists names;
    ChannelLists descriptions;
    QString language = m_settings.language;
    if (!vantelo::LoadLanguage(language, texts, *m_services.prompter, m_services.languagesRoot) ||
        !vantelo::LoadChannels(language, names, descriptions, m_services.languagesRoot)) {
        m_services.prompter->ShowMessage(QStringLiteral("Error"),
                                         QStringLiteral("Cannot open language file. Please reinstall the program."),
                                         PromptIcon::Error);
        return false;
    }
    m_settings.language = language;
    m_langTexts = std::move(texts);
    m_channelNames = std::move(names);
    m_channelDescriptions = std::move(descriptions);

    DestroyMenus();
    BuildMenus();
    if (m_channelDlg != nullptr)
        m_channelDlg->RefreshTexts();
    return true;
}

}  // namespace vantelo
