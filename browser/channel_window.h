#pragma once

#include <functional>
#include <vector>

#include <QIcon>
#include <QWidget>

#include "app/settings_record.h"
#include "browser/favorites_lists.h"
#include "catalogue/address_table.h"
#include "catalogue/channel_lists.h"
#include "lang/language_texts.h"
#include "platform/player_control.h"
#include "platform/prompter.h"

class QPlainTextEdit;
class QTabBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantelo {

// Commands of the channel window's buttons.
inline constexpr int ID_CHANNEL_PLAY = 125;
inline constexpr int ID_FAVORITE_ADD = 126;
inline constexpr int ID_FAVORITE_REMOVE = 127;
inline constexpr int ID_FAVORITE_UP = 128;
inline constexpr int ID_FAVORITE_DOWN = 129;

// Captions read back from the favourites view are cut to this many units.
inline constexpr qsizetype kMaxFavoriteCaptionUnits = 1023;

// What the channel window shares with the main window. It owns none of it and
// only reads it, except the favourites, which its commands edit.
struct ChannelWindowWiring {
    const LanguageTexts* langTexts = nullptr;
    const ChannelLists* channelNames = nullptr;
    const ChannelLists* channelDescriptions = nullptr;
    FavoritesLists* favorites = nullptr;
    std::function<void(const QString&)> setMainTitle;  // the main window's title
    PlayerControl* player = nullptr;
    Prompter* prompter = nullptr;  // reports a language pack that lacks texts
    const AddressTable* addressTable = nullptr;  // the built-in one unless a test says otherwise
    QString channelIconsFile;      // icons.rcc; missing: no channel icons
};

// The channel window: a catalogue tab with the channel tree and a favourites
// tab with the favourites list, a description box, and two small button bars.
// It stands beside the main window, which owns it; closing it only hides it.
class CChannelDlg final : public QWidget {
    Q_OBJECT
public:
    CChannelDlg(ChannelWindowWiring wiring, QWidget* owner);

    // Builds the controls, the tree and the favourites list from the texts.
    // A language pack that lacks a text raises InvalidArgumentError part-way.
    void OnInitDialog();
    void OnCommand(int id);
    // After a language switch: texts, layout, tree and favourites anew.
    void RefreshTexts();
    void PlayChannel(ChannelCode code);
    // The window is going: remember where it stood, let go of the player.
    void OnDestroy();

    const WindowRect& windowRect() const { return m_rcWindow; }
    ChannelCode currentCode() const { return m_nCurCode; }
    int currentIcon() const { return m_nCurIcon; }
    const QString& currentName() const { return m_strCurName; }
    int playBarWidth() const { return m_nPlayBarWidth; }
    int favoritesBarWidth() const { return m_nFavBarWidth; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QString& Text(int entry) const;
    QString DescriptionOf(ChannelCode code) const;
    void Guarded(const std::function<void()>& handler);
    void SetupControls();
    void LoadChannelIcons();
    QIcon ChannelIcon(int image) const;
    void BuildCatalogueTree();
    void AddChannelLeaf(ChannelCode code, const QString& name, QTreeWidgetItem* parent);
    void FillFavoritesList();
    QTreeWidgetItem* MakeFavoriteItem(const QString& name, quint32 icon, ChannelCode code) const;
    void OnSize(int cx, int cy);
    void PlaceToolbars(int cx, int cy);
    void OnTabChanged();
    void OnTreeSelChanged();
    void OnTreeDblClk();
    void OnFavItemChanged();
    void OnFavDblClk(QTreeWidgetItem* item);
    void PlayFavoriteItem(QTreeWidgetItem* item);
    void AddFavorite();
    void RemoveFavorite();
    void MoveFavorite(int offset);
    void EnablePlay(bool enabled);
    void EnableFavoriteEditing(bool enabled);
    int SelectionMark() const;
    bool FavoritesHaveSelection() const;

    ChannelWindowWiring m_wiring;
    WindowRect m_rcWindow{};
    std::vector<QIcon> m_channelIcons;  // image index = icon id - 101
    bool m_controlsReady = false;
    int m_nPlayBarWidth = 0;
    int m_nFavBarWidth = 0;
    ChannelCode m_nCurCode = 0;
    int m_nCurIcon = 0;
    QString m_strCurName;

    QTreeWidget* m_tree = nullptr;
    QTreeWidget* m_favList = nullptr;
    QTabBar* m_tabs = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QWidget* m_playBar = nullptr;
    QWidget* m_favBar = nullptr;
    QToolButton* m_playButton = nullptr;
    std::vector<QToolButton*> m_favButtons;  // add, remove, up, down
};

}  // namespace vantelo
