// Menus, the context menu and the keys of the main window: what they are
// built from, and that every way to give a command has the same effect.

#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTest>

#include "app/settings_store.h"
#include "support/language_folder.h"
#include "support/main_window_fixture.h"

namespace vantelo {

using test::MainWindowFixture;

namespace {

// "text" for an item, "[x] text" when checked, "-" for a separator.
QStringList Describe(const QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            items << QStringLiteral("-");
        else
            items << (action->isChecked() ? QStringLiteral("[x] ") : QString()) + action->text();
    }
    return items;
}

QStringList CheckedCommands(const QMenu* menu)
{
    QStringList checked;
    for (const QAction* action : menu->actions()) {
        if (action->isChecked())
            checked << action->objectName();
    }
    return checked;
}

// Check marks of both menus, comparable across windows.
QString Marks(const CLuvaneDlg& window)
{
    QStringList bar;
    for (int i = 0; i < 4; ++i)
        bar << CheckedCommands(window.popup(i));
    return bar.join(',') + QStringLiteral(" | ") + CheckedCommands(window.contextMenu()).join(',');
}

}  // namespace

class MainCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void menusAreBuiltFromTheTexts();
    void checkMarksFollowTheStoredOptions();
    void eachKeyActsLikeItsMenuItem_data();
    void eachKeyActsLikeItsMenuItem();
    void keysWithOtherModifiersDoNothing();
    void originalSizeSurvivesARestart();
    void hidingTheMenuBarGivesThePictureItsRoom();
    void contextMenuOpensAtTheRequestsPoint();
    void showChannelsBringsBackTheHiddenWindow();
    void aShortContextMenuSectionIsReportedAndTheRestBuilt();
};

void MainCommandsTest::menusAreBuiltFromTheTexts()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    const QList<QAction*> titles = window->menuBarWidget()->actions();
    QCOMPARE(titles.size(), 4);
    QCOMPARE(titles[0]->text(), QStringLiteral("&Channels"));
    QCOMPARE(titles[3]->text(), QStringLiteral("&Help"));
    QCOMPARE(Describe(window->popup(0)), QStringList{"Show C&hannel List"});
    QCOMPARE(Describe(window->popup(1)), (QStringList{"&Stop\tSpace", "&Mute\tM", "-", "&Full Screen\tEnter",
                                                     "&Original Size", "[x] St&retch to Fit"}));
    QCOMPARE(Describe(window->popup(2)), (QStringList{"Hide Player &Controls\tCtrl+H", "Hide Menu &Bar\tCtrl+M", "-",
                                                     "Always on &Top\tCtrl+T", "-", "&Language..."}));
    QCOMPARE(Describe(window->popup(3)), (QStringList{"&About Vantelo...", "&Donate..."}));
    QCOMPARE(Describe(window->contextMenu()),
             (QStringList{"Show C&hannel List", "-", "&Stop\tSpace", "&Mute\tM", "-", "&Full Screen\tEnter",
                          "&Original Size", "[x] St&retch to Fit", "-", "Hide Player &Controls\tCtrl+H",
                          "Hide Menu &Bar\tCtrl+M", "-", "Always on &Top\tCtrl+T", "-", "&Donate..."}));
}

void MainCommandsTest::checkMarksFollowTheStoredOptions()
{
    MainWindowFixture fixture;
    SettingsRecord stored;
    stored.originalSize = 1;
    stored.hideControl = 2;
    stored.hideMenu = 1;
    stored.alwaysOnTop = -1;
    QDir().mkpath(fixture.appData());
    QVERIFY(SaveSettings(fixture.appData() + QStringLiteral("/Settings.xml"), stored));
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    QCOMPARE(Marks(*window), QStringLiteral("command108,command112,command111,command113 | "
                                            "command108,command112,command111,command113"));
    QVERIFY(!window->menuBarWidget()->isVisible());

    // Any non-zero value counts as set; the first toggle stores 0.
    window->OnCommand(ID_HIDE_CONTROL);
    QCOMPARE(window->settings().hideControl, 0);
    QCOMPARE(MainWindowFixture::Player(*window)->calls.last(), QStringLiteral("SetUiMode mini"));
}

void MainCommandsTest::eachKeyActsLikeItsMenuItem_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("command");
    QTest::newRow("Space stops") << int(Qt::Key_Space) << 0 << int(ID_STOP);
    QTest::newRow("M mutes") << int(Qt::Key_M) << 0 << int(ID_MUTE);
    QTest::newRow("Ctrl+H hides the controls") << int(Qt::Key_H) << int(Qt::ControlModifier) << int(ID_HIDE_CONTROL);
    QTest::newRow("Ctrl+M hides the menu bar") << int(Qt::Key_M) << int(Qt::ControlModifier) << int(ID_HIDE_MENU);
    QTest::newRow("Ctrl+T keeps the window on top") << int(Qt::Key_T) << int(Qt::ControlModifier)
                                                    << int(ID_ALWAYS_ON_TOP);
}

void MainCommandsTest::eachKeyActsLikeItsMenuItem()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, command);
    MainWindowFixture byKey;
    MainWindowFixture byMenu;
    auto keyed = byKey.Make();
    auto menued = byMenu.Make();
    QVERIFY(keyed->OnInitDialog());
    QVERIFY(menued->OnInitDialog());
    QVERIFY(QTest::qWaitForWindowExposed(keyed.get()));
    keyed->activateWindow();
    QTRY_VERIFY(keyed->isActiveWindow());
    MainWindowFixture::Player(*keyed)->calls.clear();
    MainWindowFixture::Player(*menued)->calls.clear();

    // Twice: on, then off again.
    for (int round = 0; round < 2; ++round) {
        QTest::keyClick(keyed.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        for (QMenu* menu : {menued->popup(1), menued->popup(2)}) {
            for (QAction* action : menu->actions()) {
                if (action->objectName() == QStringLiteral("command%1").arg(command))
                    action->trigger();
            }
        }
        QCOMPARE(MainWindowFixture::Player(*keyed)->calls, MainWindowFixture::Player(*menued)->calls);
        QCOMPARE(keyed->settings(), menued->settings());
        QCOMPARE(Marks(*keyed), Marks(*menued));
        if (round == 0)
            QVERIFY2(!MainWindowFixture::Player(*keyed)->calls.isEmpty() || keyed->settings() != SettingsRecord(),
                     "the key had an effect");
    }
}

void MainCommandsTest::keysWithOtherModifiersDoNothing()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QTRY_VERIFY(window->isActiveWindow());
    auto* player = MainWindowFixture::Player(*window);
    player->calls.clear();
    const SettingsRecord before = window->settings();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_M, Qt::ShiftModifier},     {Qt::Key_M, Qt::AltModifier},
        {Qt::Key_Space, Qt::ShiftModifier}, {Qt::Key_Space, Qt::AltModifier},
        {Qt::Key_F1, Qt::NoModifier},
    };
    for (const auto& [key, modifiers] : keys)
        QTest::keyClick(window.get(), key, modifiers);
    QCOMPARE(player->calls, QStringList());
    QCOMPARE(window->settings(), before);

    // Ctrl+M hides the menu bar and never touches the sound.
    QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(player->calls, QStringList());
    QCOMPARE(player->GetMute(), false);
    QCOMPARE(window->settings().hideMenu, 1);
}

void MainCommandsTest::originalSizeSurvivesARestart()
{
    MainWindowFixture fixture;
    {
        auto window = fixture.Make();
        QVERIFY(window->OnInitDialog());
        window->OnCommand(ID_ORIGINAL_SIZE);
        QCOMPARE(Marks(*window), QStringLiteral("command108 | command108"));
        QCOMPARE(MainWindowFixture::Player(*window)->calls.last(), QStringLiteral("SetStretchToFit false"));
        window->close();
    }
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    QCOMPARE(Marks(*window), QStringLiteral("command108 | command108"));
    QVERIFY(MainWindowFixture::Player(*window)->calls.contains(QStringLiteral("SetStretchToFit false")));
    window->OnCommand(ID_STRETCH_TO_FIT);
    QCOMPARE(Marks(*window), QStringLiteral("command109 | command109"));
    QCOMPARE(window->settings().originalSize, 0);
}

void MainCommandsTest::hidingTheMenuBarGivesThePictureItsRoom()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QSize withBar = window->player()->widget()->size();
    window->OnCommand(ID_HIDE_MENU);
    QVERIFY(!window->menuBarWidget()->isVisible());
    QTRY_VERIFY(window->player()->widget()->height() > withBar.height());
    QCOMPARE(window->player()->widget()->size(), window->centralWidget()->size());
    window->OnCommand(ID_HIDE_MENU);
    QVERIFY(window->menuBarWidget()->isVisible());
    QTRY_COMPARE(window->player()->widget()->size(), withBar);
}

void MainCommandsTest::contextMenuOpensAtTheRequestsPoint()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QPoint local(40, 50);
    const QPoint global = window->player()->widget()->mapToGlobal(local);
    QContextMenuEvent request(QContextMenuEvent::Keyboard, local, global);
    QApplication::sendEvent(window->player()->widget(), &request);
    QTRY_VERIFY(window->contextMenu()->isVisible());
    QCOMPARE(window->contextMenu()->pos(), global);
    window->contextMenu()->hide();
}

void MainCommandsTest::showChannelsBringsBackTheHiddenWindow()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    window->channelWindow()->hide();
    for (QAction* action : window->contextMenu()->actions()) {
        if (action->objectName() == QStringLiteral("command104"))
            action->trigger();
    }
    QVERIFY(window->channelWindow()->isVisible());
}

void MainCommandsTest::aShortContextMenuSectionIsReportedAndTheRestBuilt()
{
    test::LanguageFolder packs;
    QFile english(test::kShippedLanguages + QStringLiteral("/English/Main.xml"));
    QVERIFY(english.open(QIODevice::ReadOnly));
    QByteArray main = english.readAll();
    const QByteArray lastEntry = "        <Item>&amp;Donate...</Item>\n    </ContexMenu>";
    QVERIFY(main.contains(lastEntry));
    main.replace(lastEntry, "    </ContexMenu>");
    packs.write(QStringLiteral("English"), QStringLiteral("Main.xml"), main);
    QFile channels(test::kShippedLanguages + QStringLiteral("/English/Channels.xml"));
    QVERIFY(channels.open(QIODevice::ReadOnly));
    packs.write(QStringLiteral("English"), QStringLiteral("Channels.xml"), channels.readAll());

    MainWindowFixture fixture;
    auto window = fixture.Make(packs.root());
    QVERIFY(window->OnInitDialog());
    QCOMPARE(fixture.prompter.messages.size(), 1);
    QCOMPARE(fixture.prompter.messages[0].text, QStringLiteral("An invalid argument was encountered."));
    QCOMPARE(Describe(window->popup(3)), (QStringList{"&About Vantelo...", "&Donate..."}));
    const QStringList context = Describe(window->contextMenu());
    QCOMPARE(context.size(), 14);
    QCOMPARE(context.mid(12), (QStringList{"Always on &Top\tCtrl+T", "-"}));
    QVERIFY(window->channelWindow() != nullptr && window->channelWindow()->isVisible());
}

}  // namespace vantelo

QTEST_MAIN(vantelo::MainCommandsTest)
#include "main_commands_test.moc"
