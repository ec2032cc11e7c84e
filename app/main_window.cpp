#include "app/main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/product_config.h"
#include "app/settings_store.h"
#include "app/window_placement.h"
#include "browser/favorites_store.h"
#include "catalogue/load_channels.h"
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
        RunGuarded(*m_services.prompter, [this] { OnOK(); });
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
