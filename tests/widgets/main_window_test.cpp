// The main window on the offscreen platform, with a recording player and
// prompter: start, options applied, failed starts, and the saves at close.

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "app/product_config.h"
#include "app/settings_store.h"
#include "support/recording_player.h"
#include "support/recording_prompter.h"

namespace vantelo {

using test::RecordingPlayer;
using test::RecordingPrompter;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStartUsesDefaults();
    void storedOptionsReachThePlayer_data();
    void storedOptionsReachThePlayer();
    void storedPositionsAreAppliedUnchanged();
    void failedStartsReportOnceAndWriteNothing_data();
    void failedStartsReportOnceAndWriteNothing();
    void closeSavesBothFilesAndCreatesTheFolder();
    void enterGoesFullScreenAndEscapeDoesNothing();
    void pictureFillsTheClientArea();

private:
    std::unique_ptr<CLuvaneDlg> MakeWindow(const QString& languagesRoot = QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages"),
                                           bool playerAvailable = true);
    QString AppData() const { return m_dir->path() + QStringLiteral("/config/Vantelo"); }
    void WriteSettings(const SettingsRecord& record)
    {
        QDir().mkpath(AppData());
        QVERIFY(SaveSettings(AppData() + QStringLiteral("/Settings.xml"), record));
    }
    RecordingPlayer* Player(CLuvaneDlg& window) { return static_cast<RecordingPlayer*>(window.player()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
};

std::unique_ptr<CLuvaneDlg> MainWindowTest::MakeWindow(const QString& languagesRoot, bool playerAvailable)
{
    MainWindowServices services;
    services.prompter = &m_prompter;
    services.languagesRoot = languagesRoot;
    services.appDataFolder = AppData();
    services.createPlayer = [playerAvailable](QWidget* parent) -> std::unique_ptr<PlayerControl> {
        if (!playerAvailable)
            return nullptr;
        return std::make_unique<RecordingPlayer>(parent);
    };
    return std::make_unique<CLuvaneDlg>(std::move(services));
}

void MainWindowTest::init()
{
    QStandardPaths::setTestModeEnabled(true);
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter.messages.clear();
}

void MainWindowTest::cleanup()
{
    m_dir.reset();
}

void MainWindowTest::firstStartUsesDefaults()
{
    auto window = MakeWindow();
    QVERIFY(window->OnInitDialog());
    QVERIFY(m_prompter.messages.isEmpty());
    QCOMPARE(window->settings(), SettingsRecord());
    QCOMPARE(window->windowTitle(), QStringLiteral("Vantelo"));
    QCOMPARE(window->frameGeometry().topLeft(), QPoint(298, 161));
    QCOMPARE(window->frameGeometry().size(), QSize(550, 471));
    QCOMPARE(Player(*window)->calls, (QStringList{"SetEnableContextMenu false", "SetMute false", "SetVolume 100",
                                                 "SetUiMode mini", "SetStretchToFit true"}));
    QVERIFY(!(window->windowFlags() & Qt::WindowStaysOnTopHint));
}

void MainWindowTest::storedOptionsReachThePlayer_data()
{
    QTest::addColumn<int>("muteSound");
    QTest::addColumn<int>("volumeSound");
    QTest::addColumn<int>("hideControl");
    QTest::addColumn<int>("originalSize");
    QTest::addColumn<QStringList>("expectedCalls");
    QTest::newRow("muted, quiet, controls hidden, original size")
        << -1 << 20 << 1 << 1
        << QStringList{"SetEnableContextMenu false", "SetMute true", "SetVolume 20", "SetUiMode none",
                       "SetStretchToFit false"};
    QTest::newRow("any non-zero flag counts as set") << 0 << 100 << 2 << -5
        << QStringList{"SetEnableContextMenu false", "SetMute false", "SetVolume 100", "SetUiMode none",
                       "SetStretchToFit false"};
    QTest::newRow("mute is the low 16 bits") << 65536 << 0 << 0 << 0
        << QStringList{"SetEnableContextMenu false", "SetMute false", "SetVolume 0", "SetUiMode mini",
                       "SetStretchToFit true"};
}

void MainWindowTest::storedOptionsReachThePlayer()
{
    QFETCH(int, muteSound);
    QFETCH(int, volumeSound);
    QFETCH(int, hideControl);
    QFETCH(int, originalSize);
    QFETCH(QStringList, expectedCalls);
    SettingsRecord stored;
    stored.muteSound = muteSound;
    stored.volumeSound = volumeSound;
    stored.hideControl = hideControl;
    stored.originalSize = originalSize;
    stored.alwaysOnTop = 1;
    WriteSettings(stored);

    auto window = MakeWindow();
    QVERIFY(window->OnInitDialog());
    QCOMPARE(Player(*window)->calls, expectedCalls);
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
}

void MainWindowTest::storedPositionsAreAppliedUnchanged()
{
    SettingsRecord stored;
    stored.mainWindowPos = {-5000, 7000, 640, 360};
    WriteSettings(stored);
    auto window = MakeWindow();
    QVERIFY(window->OnInitDialog());
    QCOMPARE(window->frameGeometry(), QRect(-5000, 7000, 640, 360));

    // Starting and closing without touching anything leaves the file as it was.
    QFile file(AppData() + QStringLiteral("/Settings.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    window->close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void MainWindowTest::failedStartsReportOnceAndWriteNothing_data()
{
    QTest::addColumn<bool>("languagePacks");
    QTest::addColumn<bool>("playerAvailable");
    QTest::addColumn<QStringList>("expectedMessages");
    QTest::newRow("no language pack")
        << false << true
        << QStringList{"Warning|Cannot open English language file, will be used English.",
                       "Error|Cannot open language file. Please reinstall the program."};
    QTest::newRow("no player") << true << false
                               << QStringList{QStringLiteral("Error|Cannot open WMP control. Please contact us by e-mail "
                                                             VANTELO_SUPPORT_EMAIL ".")};
}

void MainWindowTest::failedStartsReportOnceAndWriteNothing()
{
    QFETCH(bool, languagePacks);
    QFETCH(bool, playerAvailable);
    QFETCH(QStringList, expectedMessages);
    auto window = MakeWindow(languagePacks ? QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages")
                                           : m_dir->path() + QStringLiteral("/no-packs"),
                             playerAvailable);
    QVERIFY(!window->OnInitDialog());
    QStringList messages;
    for (const auto& message : m_prompter.messages)
        messages << message.caption + QLatin1Char('|') + message.text;
    QCOMPARE(messages, expectedMessages);
    QCOMPARE(m_prompter.messages.last().icon, PromptIcon::Error);

    window->close();
    QVERIFY(!QDir(AppData()).exists());
}

void MainWindowTest::closeSavesBothFilesAndCreatesTheFolder()
{
    auto window = MakeWindow();
    QVERIFY(window->OnInitDialog());
    Player(*window)->SetVolume(42);
    Player(*window)->SetMute(true);
    QSignalSpy finished(window.get(), &CLuvaneDlg::finished);
    window->close();

    QCOMPARE(finished.count(), 1);
    QVERIFY(QFile::exists(AppData() + QStringLiteral("/Favorites.xml")));
    SettingsRecord saved;
    QVERIFY(LoadSettings(AppData() + QStringLiteral("/Settings.xml"), saved));
    QCOMPARE(saved.volumeSound, 42);
    QCOMPARE(saved.muteSound, -1);
    QCOMPARE(Player(*window)->calls.last(), QStringLiteral("Close"));
}

void MainWindowTest::enterGoesFullScreenAndEscapeDoesNothing()
{
    auto window = MakeWindow();
    QVERIFY(window->OnInitDialog());
    Player(*window)->calls.clear();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(window->isVisible());
    QVERIFY(Player(*window)->calls.isEmpty());
    QTest::keyClick(window.get(), Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    QCOMPARE(Player(*window)->calls, (QStringList{"SetFullScreen true", "SetFullScreen true"}));
}

void MainWindowTest::pictureFillsTheClientArea()
{
    auto window = MakeWindow();
    QVERIFY(window->OnInitDialog());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    for (const QSize size : {QSize(300, 200), QSize(801, 603)}) {
        window->resize(size);
        QTRY_COMPARE(window->player()->widget()->size(), window->centralWidget()->size());
        QCOMPARE(window->player()->widget()->mapTo(window.get(), QPoint(0, 0)), window->centralWidget()->pos());
    }
}

}  // namespace vantelo

QTEST_MAIN(vantelo::MainWindowTest)
#include "main_window_test.moc"
