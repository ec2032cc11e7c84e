#pragma once

#include <functional>
#include <memory>

#include <QMainWindow>

#include "app/settings_record.h"
#include "browser/channel_window.h"
#include "browser/favorites_lists.h"
#include "catalogue/channel_lists.h"
#include "lang/language_pack.h"
#include "lang/language_texts.h"
#include "platform/player_control.h"
#include "platform/prompter.h"

namespace vantelo {

// What the main window gets from outside, so that tests can put recorders in.
struct MainWindowServices {
    Prompter* prompter = nullptr;
    // Creates the player inside the given parent; nullptr when it cannot.
    std::function<std::unique_ptr<PlayerControl>(QWidget* parent)> createPlayer;
    QString languagesRoot = kLanguagesFolder;
    QString appDataFolder;  // holds Settings.xml and Favorites.xml
    const AddressTable* addressTable = nullptr;  // the built-in one unless a test says otherwise
    QString channelIconsFile;                    // icons.rcc beside the program unless a test says otherwise
};

// The main window: the picture fills it. It owns everything the program shares
// (settings, language texts, channel names, favourites, the player) for the
// whole run, loads it all at start and saves settings and favourites at close.
class CLuvaneDlg final : public QMainWindow {
    Q_OBJECT
public:
    explicit CLuvaneDlg(MainWindowServices services);
    ~CLuvaneDlg() override;

    // Loads everything and shows the window. False when the start failed (no
    // readable language pack, or no player); the user has been told, nothing
    // will be written, and the program should end.
    bool OnInitDialog();

    bool LoadSettings();
    bool SaveSettings();
    bool LoadFavorites();
    bool SaveFavorites();
    bool LoadLanguage();
    bool LoadChannels();

    // Saves and releases what the run produced; runs once, when the window closes.
    void OnDestroy();

    // Shows the channel window again and gives it the keyboard focus.
    void ShowChannels();

    const SettingsRecord& settings() const { return m_settings; }
    const LanguageTexts& languageTexts() const { return m_langTexts; }
    const ChannelLists& channelNames() const { return m_channelNames; }
    const ChannelLists& channelDescriptions() const { return m_channelDescriptions; }
    FavoritesLists& favorites() { return m_favorites; }
    PlayerControl* player() const { return m_player.get(); }
    CChannelDlg* channelWindow() const { return m_channelDlg; }
    bool controlCreated() const { return m_controlCreated; }

signals:
    // The window has closed and saved: the program ends.
    void finished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString AppDataFile(const QString& name) const;
    bool CreatePlayer();
    void ApplyPlayerOptions();
    void PlaceMainWindow();
    void CreateChannelWindow();
    void OnOK();
    void ReportStartFailure(const QString& text);

    MainWindowServices m_services;
    QWidget* m_playerHost = nullptr;
    std::unique_ptr<PlayerControl> m_player;
    CChannelDlg* m_channelDlg = nullptr;  // a window of its own, owned by this one
    LanguageTexts m_langTexts;
    ChannelLists m_channelNames;
    ChannelLists m_channelDescriptions;
    FavoritesLists m_favorites;
    bool m_controlCreated = false;
    bool m_destroyed = false;
    SettingsRecord m_settings;
};

}  // namespace vantelo
