#include "app/main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/product_config.h"
#include "app/settings_store.h"
#include "app/window_placement.h"
#include "browser/favorites_store.h"
#include "catalogue/load_channels.h"
#include "dialogs/about_dialog.h"
#include "dialogs/donate_dialog.h"
#include "lang/language_dialog.h"
#include "lang/load_language.h"
#include "platform/app_data_folder.h"
#include "platform/event_guard.h"

namespace vantelo {

namespace {

const QString kLanguageErrorText = QStringLiteral("Cannot open language file. Please reinstall the program.");

}  // namespace

CLuvaneDlg::CLuvaneDlg(MainWindowServices services) : m_services(std::move(services))
{
    if (m_services.appDataFolder.isEmpty())
        m_services.appDataFolder = AppDataFolder();
    setWindowTitle(kProductName);
    setObjectName(QStringLiteral("mainWindow"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/128.svg")));
    m_playerHost = new QWidget(this);
    m_playerHost->setObjectName(QStringLiteral("playerHost"));
    auto* layout = new QVBoxLayout(m_playerHost);
    layout->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(m_playerHost);
}

CLuvaneDlg::~CLuvaneDlg() = default;

QString CLuvaneDlg::AppDataFile(const QString& name) const
{
    return m_services.appDataFolder + QLatin1Char('/') + name;
}

bool CLuvaneDlg::OnInitDialog()
{
    if (!LoadSettings())
        m_settings = SettingsRecord();
    LoadFavorites();
    InstallAccelerators();
    m_controlCreated = false;
    if (!LoadLanguage() || !LoadChannels()) {
        ReportStartFailure(kLanguageErrorText);
        return false;
    }
    if (!CreatePlayer()) {
        ReportStartFailure(QStringLiteral("Cannot open WMP control. Please contact us by e-mail ") +
                           QStringLiteral(VANTELO_SUPPORT_EMAIL) + QLatin1Char('.'));
        return false;
    }
    m_controlCreated = true;
    ApplyPlayerOptions();
    // A pack whose menu sections fall short is reported once; the menus keep
    // the items built so far and the start goes on, so the program stays usable.
    Guarded([this] { BuildMenus(); });
    PlaceMainWindow();
    if (m_settings.alwaysOnTop != 0)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    CreateChannelWindow();
    show();
    // The frame's thickness is known only once the window is shown; place it
    // again so that its outer rectangle is the stored one.
    PlaceMainWindow();
    return true;
}

void CLuvaneDlg::ReportStartFailure(const QString& text)
{
    m_services.prompter->ShowMessage(QStringLiteral("Error"), text, PromptIcon::Error);
}

bool CLuvaneDlg::LoadSettings()
{
    return vantelo::LoadSettings(AppDataFile(QStringLiteral("Settings.xml")), m_settings);
}

bool CLuvaneDlg::SaveSettings()
{
    m_settings.mainWindowPos = OuterRect(*this);
    if (m_channelDlg != nullptr)
        m_settings.channelWindowPos = m_channelDlg->windowRect();
    if (m_player) {
        m_settings.volumeSound = m_player->GetVolume();
        m_settings.muteSound = m_player->GetMute() ? -1 : 0;
    }
    return vantelo::SaveSettings(AppDataFile(QStringLiteral("Settings.xml")), m_settings);
}

bool CLuvaneDlg::LoadFavorites()
{
    return vantelo::LoadFavorites(AppDataFile(QStringLiteral("Favorites.xml")), m_favorites);
}

bool CLuvaneDlg::SaveFavorites()
{
    return vantelo::SaveFavorites(AppDataFile(QStringLiteral("Favorites.xml")), m_favorites);
}

bool CLuvaneDlg::LoadLanguage()
{
    return vantelo::LoadLanguage(m_settings.language, m_langTexts, *m_services.prompter, m_services.languagesRoot);
}

bool CLuvaneDlg::LoadChannels()
{
    return vantelo::LoadChannels(m_settings.language, m_channelNames, m_channelDescriptions,
                                 m_services.languagesRoot);
}

bool CLuvaneDlg::CreatePlayer()
{
    m_player = m_services.createPlayer ? m_services.createPlayer(m_playerHost) : nullptr;
    if (!m_player)
        return false;
    m_playerHost->layout()->addWidget(m_player->widget());
    return true;
}

void CLuvaneDlg::ApplyPlayerOptions()
{
    m_player->SetEnableContextMenu(false);
    // Stored as a 16-bit flag widened to 32 bits: muted is -1.
    m_player->SetMute((m_settings.muteSound & 0xFFFF) != 0);
    m_player->SetVolume(m_settings.volumeSound);
    m_player->SetUiMode(m_settings.hideControl != 0 ? QStringLiteral("none") : QStringLiteral("mini"));
    m_player->SetStretchToFit(m_settings.originalSize == 0);
}

void CLuvaneDlg::PlaceMainWindow()
{
    PlaceOuterRect(*this, m_settings.mainWindowPos);
}

void CLuvaneDlg::CreateChannelWindow()
{
    ChannelWindowWiring wiring;
    wiring.langTexts = &m_langTexts;
    wiring.channelNames = &m_channelNames;
    wiring.channelDescriptions = &m_channelDescriptions;
    wiring.favorites = &m_favorites;
    wiring.setMainTitle = [this](const QString& title) { setWindowTitle(title); };
    wiring.player = m_player.get();
    wiring.prompter = m_services.prompter;
    wiring.addressTable = m_services.addressTable;
    wiring.channelIconsFile = m_services.channelIconsFile;
    m_channelDlg = new CChannelDlg(std::move(wiring), this);
    // A pack that lacks a text leaves the window as far as it got, and usable.
    RunGuarded(*m_services.prompter, [this] { m_channelDlg->OnInitDialog(); });
    PlaceOuterRect(*m_channelDlg, m_settings.channelWindowPos);
    m_channelDlg->show();
    PlaceOuterRect(*m_channelDlg, m_settings.channelWindowPos);
}

void CLuvaneDlg::ShowChannels()
{
    if (m_channelDlg == nullptr)
        return;
    m_channelDlg->show();
    m_channelDlg->raise();
    m_channelDlg->activateWindow();
    m_channelDlg->setFocus();
}

void CLuvaneDlg::Guarded(const std::function<void()>& handler)
{
    RunGuarded(*m_services.prompter, handler);
}

void CLuvaneDlg::InstallAccelerators()
{
    // Keys act while the main window or the picture in it has the focus, and
    // only with exactly their modifiers: Shift+M or Alt+Space do nothing.
    for (const AcceleratorShape& accelerator : AcceleratorTable()) {
        const QKeySequence keys(accelerator.control ? QKeyCombination(Qt::ControlModifier, Qt::Key(accelerator.key))
                                                    : QKeyCombination(Qt::Key(accelerator.key)));
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        const int command = accelerator.command;
        connect(shortcut, &QShortcut::activated, this, [this, command] { Guarded([this, command] { OnCommand(command); }); });
    }
    // Help has no page to show; the key is taken so that nothing else acts on it.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] { OnCommand(ID_HELP); });
}

void CLuvaneDlg::DestroyMenus()
{
    m_checkItems.clear();
    for (auto& popup : m_popups)
        popup.reset();
    m_contextMenu.reset();
    if (m_menuBar != nullptr) {
        setMenuBar(nullptr);
        delete m_menuBar;
        m_menuBar = nullptr;
    }
}

void CLuvaneDlg::AppendItem(QMenu& menu, const MenuItemShape& item)
{
    if (item.command == 0) {
        menu.addSeparator();
        return;
    }
    // Fetched one at a time, just before its item is added: a short section
    // leaves the items before the missing text in place.
    const QString text = m_langTexts.text(item.section, item.entry) + QString::fromLatin1(item.suffix);
    QAction* action = menu.addAction(text);
    action->setObjectName(QStringLiteral("command%1").arg(item.command));
    if (item.checked != CheckedWhen::Never) {
        action->setCheckable(true);
        action->setChecked(IsChecked(item.checked, m_settings));
        m_checkItems.emplace(item.command, action);
    }
    const int command = item.command;
    connect(action, &QAction::triggered, this, [this, command] { Guarded([this, command] { OnCommand(command); }); });
}

void CLuvaneDlg::BuildMenus()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_contextMenu = std::make_unique<QMenu>();
    m_contextMenu->setObjectName(QStringLiteral("contextMenu"));
    const auto& bar = MenuBarShape();
    for (std::size_t i = 0; i < bar.size(); ++i) {
        m_popups[i] = std::make_unique<QMenu>();
        m_popups[i]->setObjectName(QStringLiteral("popup%1").arg(i + 1));
        m_popups[i]->setTitle(m_langTexts.text(Section::MainMenu, bar[i].titleEntry));
        m_menuBar->addMenu(m_popups[i].get());
    }
    setMenuBar(m_menuBar);
    ApplyMenuBarVisibility();
    for (std::size_t i = 0; i < bar.size(); ++i) {
        for (const MenuItemShape& item : bar[i].items)
            AppendItem(*m_popups[i], item);
    }
    for (const MenuItemShape& item : ContextMenuShape())
        AppendItem(*m_contextMenu, item);
}

void CLuvaneDlg::SetChecked(int command, bool checked)
{
    const auto [first, last] = m_checkItems.equal_range(command);
    for (auto it = first; it != last; ++it)
        it->second->setChecked(checked);
}

void CLuvaneDlg::ApplyMenuBarVisibility()
{
    // Hiding the bar gives its room to the picture; full screen hides it too.
    if (m_menuBar != nullptr)
        m_menuBar->setVisible(m_settings.hideMenu == 0 && !isFullScreen());
}

void CLuvaneDlg::ApplyAlwaysOnTop()
{
    const bool wasVisible = isVisible();
    const QRect frame = frameGeometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, m_settings.alwaysOnTop != 0);
    // Changing a window flag hides the window; bring it back where it stood.
    if (wasVisible) {
        show();
        move(frame.topLeft());
    }
}

void CLuvaneDlg::OnCommand(int id)
{
    switch (id) {
    case IDOK:
    case ID_FULL_SCREEN:
        OnOK();
        break;
    case ID_SHOW_CHANNELS:
        ShowChannels();
        break;
    case ID_STOP:
    case ID_KEY_STOP:
        m_player->Stop();
        break;
    case ID_MUTE:
    case ID_KEY_MUTE:
        // Mute lives in the player and is read back from it when saving.
        m_player->SetMute(!m_player->GetMute());
        break;
    case ID_ORIGINAL_SIZE:
        SetChecked(ID_ORIGINAL_SIZE, true);
        SetChecked(ID_STRETCH_TO_FIT, false);
        m_settings.originalSize = 1;
        m_player->SetStretchToFit(false);
        break;
    case ID_STRETCH_TO_FIT:
        SetChecked(ID_ORIGINAL_SIZE, false);
        SetChecked(ID_STRETCH_TO_FIT, true);
        m_settings.originalSize = 0;
        m_player->SetStretchToFit(true);
        break;
    case ID_HIDE_MENU:
    case ID_KEY_HIDE_MENU:
        SetChecked(ID_HIDE_MENU, m_settings.hideMenu == 0);
        m_settings.hideMenu = m_settings.hideMenu == 0 ? 1 : 0;
        ApplyMenuBarVisibility();
        break;
    case ID_HIDE_CONTROL:
    case ID_KEY_HIDE_CONTROL:
        SetChecked(ID_HIDE_CONTROL, m_settings.hideControl == 0);
        m_player->SetUiMode(m_settings.hideControl != 0 ? QStringLiteral("mini") : QStringLiteral("none"));
        m_settings.hideControl = m_settings.hideControl == 0 ? 1 : 0;
        break;
    case ID_ALWAYS_ON_TOP:
    case ID_KEY_ALWAYS_ON_TOP:
        SetChecked(ID_ALWAYS_ON_TOP, m_settings.alwaysOnTop == 0);
        m_settings.alwaysOnTop = m_settings.alwaysOnTop == 0 ? 1 : 0;
        ApplyAlwaysOnTop();
        break;
    case ID_LANGUAGE:
        OnLanguage();
        break;
    case ID_ABOUT:
        OnAbout();
        break;
    case ID_DONATE:
        OnDonate();
        break;
    case ID_HELP:
        // There is no help to show.
        break;
    default:
        break;
    }
}

void CLuvaneDlg::OnLanguage()
{
    CLanguageDlg dialog(m_langTexts, m_services.languagesRoot, this);
    dialog.setLanguage(m_settings.language);
    Guarded([&dialog] { dialog.OnInitDialog(); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString previous = m_settings.language;
    m_settings.language = dialog.language();
    if (!ReloadLanguage())
        m_settings.language = previous;
}

void CLuvaneDlg::OnAbout()
{
    CAboutDlg dialog(m_langTexts, *m_services.shell, *m_services.prompter, this);
    Guarded([&dialog] { dialog.OnInitDialog(); });
    dialog.exec();
}

void CLuvaneDlg::OnDonate()
{
    CDonateDlg dialog(m_langTexts, *m_services.shell, this);
    Guarded([&dialog] { dialog.OnInitDialog(); });
    dialog.exec();
}

void CLuvaneDlg::contextMenuEvent(QContextMenuEvent* event)
{
    // At the point the request carries, from the mouse or the keyboard alike.
    if (m_contextMenu)
        m_contextMenu->popup(event->globalPos());
}

void CLuvaneDlg::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        ApplyMenuBarVisibility();
}

void CLuvaneDlg::OnOK()
{
    if (m_player)
        m_player->SetFullScreen(true);
}

void CLuvaneDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Guarded([this] { OnCommand(IDOK); });
        return;
    case Qt::Key_Escape:
        // Escape never closes the window; closing goes through the close box.
        return;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

void CLuvaneDlg::closeEvent(QCloseEvent* event)
{
    OnDestroy();
    event->accept();
    emit finished();
}

void CLuvaneDlg::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    if (m_channelDlg != nullptr) {
        m_channelDlg->OnDestroy();
        m_channelDlg->hide();
    }
    if (m_controlCreated) {
        // Failures here are not the user's concern at exit; the saves keep the
        // old files whole when they cannot write.
        QDir().mkpath(m_services.appDataFolder);
        SaveSettings();
        RunGuarded(*m_services.prompter, [this] { SaveFavorites(); });
    }
    if (m_player)
        m_player->Close();
}

}  // namespace vantelo
