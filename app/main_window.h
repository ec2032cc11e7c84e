#pragma once

#include <functional>
#include <array>
#include <map>
#include <memory>

#include <QMainWindow>

#include "app/menu_shape.h"
#include "app/settings_record.h"
#include "browser/channel_window.h"
#include "browser/favorites_lists.h"
#include "catalogue/channel_lists.h"
#include "lang/language_pack.h"
#include "lang/language_texts.h"
#include "platform/player_control.h"
#include "platform/prompter.h"
#include "platform/shell.h"

class QMenu;
class QMenuBar;
class QAction;

namespace vantelo {

// What the main window gets from outside, so that tests can put recorders in.
struct MainWindowServices {
    Prompter* prompter = nullptr;
    Shell* shell = nullptr;  // opens the mail program and payment pages
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

    // Carries out a command of the menus, the context menu or the keys.
    void OnCommand(int id);
    // Builds the menu bar and the context menu from the texts, with check
    // marks from the settings. A short section stops it at the missing text.
    void BuildMenus();
    // Switches every text to the language in the settings. Loads the new pack
    // first; when no pack can be read at all, says so and returns false with
    // the current texts kept.
    bool ReloadLanguage();

    QMenuBar* menuBarWidget() const { return m_menuBar; }
    QMenu* popup(int index) const { return m_popups[static_cast<std::size_t>(index)].get(); }
    QMenu* contextMenu() const { return m_contextMenu.get(); }

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
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString AppDataFile(const QString& name) const;
    bool CreatePlayer();
    void ApplyPlayerOptions();
    void PlaceMainWindow();
    void CreateChannelWindow();
    void OnOK();
    void Guarded(const std::function<void()>& handler);
    void DestroyMenus();
    void AppendItem(QMenu& menu, const MenuItemShape& item);
    void SetChecked(int command, bool checked);
    void InstallAccelerators();
    void ApplyAlwaysOnTop();
    void ApplyMenuBarVisibility();
    void OnLanguage();
    void OnAbout();
    void OnDonate();
    void ReportStartFailure(const QString& text);

    MainWindowServices m_services;
    QWidget* m_playerHost = nullptr;
    std::unique_ptr<PlayerControl> m_player;
    CChannelDlg* m_channelDlg = nullptr;  // a window of its own, owned by this one
    QMenuBar* m_menuBar = nullptr;        // owned by the window once set
    std::array<std::unique_ptr<QMenu>, 4> m_popups;
    std::unique_ptr<QMenu> m_contextMenu;
    // The items that carry check marks, in the menu bar and in the context menu.
    std::multimap<int, QAction*> m_checkItems;
    LanguageTexts m_langTexts;
    ChannelLists m_channelNames;
    ChannelLists m_channelDescriptions;
    FavoritesLists m_favorites;
    bool m_controlCreated = false;
    bool m_destroyed = false;
    SettingsRecord m_settings;
};

}  // namespace vantelo
