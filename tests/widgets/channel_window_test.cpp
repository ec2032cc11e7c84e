// The channel window on the offscreen platform, inside a real main window with
// a recording player: tree, selection, playing, favourites commands, layout,
// hiding, and a language pack that lacks texts.

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/main_window.h"
#include "browser/channel_window_layout.h"
#include "browser/favorites_store.h"
#include "catalogue/channel_address.h"
#include "support/language_folder.h"
#include "support/recording_player.h"
#include "support/recording_prompter.h"

namespace vantelo {

const AddressTable& TestAddressTable();

using test::RecordingPlayer;
using test::RecordingPrompter;

class ChannelWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithTheCatalogueCollapsedAndNothingSelected();
    void treeHoldsTheCatalogueInItsOrder();
    void selectionDecidesPlayAndDescription();
    void doubleClickPlaysTheSelectedChannel();
    void currentChannelTakesItsGroupsImage_data();
    void currentChannelTakesItsGroupsImage();
    void addingRefusesAChannelAlreadyThere();
    void removeMovesTheSelection_data();
    void removeMovesTheSelection();
    void moveUpAndDownKeepListsAndViewInStep();
    void favouritesSurviveARestart();
    void invalidFavouriteCodesPlayNothing();
    void layoutFollowsTheWindowSize();
    void escapeHidesAndShowChannelsBringsItBackUnchanged();
    void shortChannelsDialogSectionIsReportedOnce();

private:
    void Start(const QString& languagesRoot = QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages"));
    QTreeWidget* Tree() const { return m_window->channelWindow()->findChild<QTreeWidget*>(QStringLiteral("catalogueTree")); }
    QTreeWidget* Favourites() const { return m_window->channelWindow()->findChild<QTreeWidget*>(QStringLiteral("favoritesList")); }
    QTabBar* Tabs() const { return m_window->channelWindow()->findChild<QTabBar*>(QStringLiteral("tabs")); }
    QPlainTextEdit* Description() const { return m_window->channelWindow()->findChild<QPlainTextEdit*>(QStringLiteral("description")); }
    QToolButton* Button(int command) const
    {
        return m_window->channelWindow()->findChild<QToolButton*>(QStringLiteral("command%1").arg(command));
    }
    RecordingPlayer* Player() const { return static_cast<RecordingPlayer*>(m_window->player()); }
    QTreeWidgetItem* Leaf(int table, int index) const;
    void PlayFromTree(int table, int index);
    void AddFavourites(const QList<std::pair<int, int>>& channels);
    QStringList ViewNames() const;
    QStringList ListNames() const { return m_window->favorites().names.items(); }
    void Command(int id) { m_window->channelWindow()->OnCommand(id); }
    QString FavouritesPath() const { return m_dir->path() + QStringLiteral("/Vantelo/Favorites.xml"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    std::unique_ptr<CLuvaneDlg> m_window;
};

void ChannelWindowTest::init()
{
    QStandardPaths::setTestModeEnabled(true);
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter.messages.clear();
}

void ChannelWindowTest::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

void ChannelWindowTest::Start(const QString& languagesRoot)
{
    MainWindowServices services;
    services.prompter = &m_prompter;
    services.languagesRoot = languagesRoot;
    services.appDataFolder = m_dir->path() + QStringLiteral("/Vantelo");
    services.addressTable = &TestAddressTable();
    services.channelIconsFile = QStringLiteral(VANTELO_BINARY_DIR "/icons.rcc");
    services.createPlayer = [](QWidget* parent) -> std::unique_ptr<PlayerControl> {
        return std::make_unique<RecordingPlayer>(parent);
    };
    m_window = std::make_unique<CLuvaneDlg>(std::move(services));
    QVERIFY(m_window->OnInitDialog());
}

QTreeWidgetItem* ChannelWindowTest::Leaf(int table, int index) const
{
    const ChannelCode code = MakeChannelCode(table, index);
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toUInt() == code)
            return *it;
    }
    return nullptr;
}

void ChannelWindowTest::PlayFromTree(int table, int index)
{
    Tabs()->setCurrentIndex(0);
    Tree()->setCurrentItem(Leaf(table, index));
    Command(ID_CHANNEL_PLAY);
}

void ChannelWindowTest::AddFavourites(const QList<std::pair<int, int>>& channels)
{
    for (const auto& [table, index] : channels) {
        PlayFromTree(table, index);
        Tabs()->setCurrentIndex(1);
        Command(ID_FAVORITE_ADD);
    }
}

QStringList ChannelWindowTest::ViewNames() const
{
    QStringList names;
    for (int i = 0; i < Favourites()->topLevelItemCount(); ++i)
        names << Favourites()->topLevelItem(i)->text(0);
    return names;
}

void ChannelWindowTest::startsWithTheCatalogueCollapsedAndNothingSelected()
{
    Start();
    QCOMPARE(m_window->channelWindow()->windowTitle(), QStringLiteral("Channels"));
    QCOMPARE(Tabs()->count(), 2);
    QCOMPARE(Tabs()->tabText(1), QStringLiteral("Favourites"));
    QCOMPARE(Tabs()->currentIndex(), 0);
    QCOMPARE(Tree()->topLevelItemCount(), 11);
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i)
        QVERIFY(!Tree()->topLevelItem(i)->isExpanded());
    QVERIFY(Tree()->selectedItems().isEmpty());
    QVERIFY(Tree()->isVisible());
    QVERIFY(!Favourites()->isVisible());
    QVERIFY(!m_window->channelWindow()->findChild<QWidget*>(QStringLiteral("favoritesBar"))->isVisible());
    for (int command = ID_CHANNEL_PLAY; command <= ID_FAVORITE_DOWN; ++command)
        QVERIFY2(!Button(command)->isEnabled(), qPrintable(QString::number(command)));
    QCOMPARE(Description()->toPlainText(), QString());
    QCOMPARE(Button(ID_CHANNEL_PLAY)->text(), QStringLiteral("Play"));
    QCOMPARE(Button(ID_FAVORITE_DOWN)->toolTip(), QStringLiteral("Move the selected favourite down"));
    QVERIFY2(!Leaf(1, 0)->icon(0).isNull(), "channel icons come from icons.rcc");
    QVERIFY(m_prompter.messages.isEmpty());
}

void ChannelWindowTest::treeHoldsTheCatalogueInItsOrder()
{
    Start();
    const LanguageTexts& texts = m_window->languageTexts();
    const int rootOrder[] = {0, 4, 5, 6, 1, 3, 2, 9, 8, 7, 10};
    for (int position = 0; position < 11; ++position)
        QCOMPARE(Tree()->topLevelItem(position)->text(0), texts.text(Section::Groups, rootOrder[position]));

    QTreeWidgetItem* countries = Tree()->topLevelItem(0);
    const int countryOrder[] = {3, 2, 5, 1, 6, 4, 0};
    QCOMPARE(countries->childCount(), 7);
    for (int position = 0; position < 7; ++position)
        QCOMPARE(countries->child(position)->text(0), texts.text(Section::Countries, countryOrder[position]));

    QTreeWidgetItem* germany = countries->child(1);
    QCOMPARE(germany->childCount(), 1 + 33);
    QCOMPARE(germany->child(0)->text(0), texts.text(Section::Groups, 11));
    QCOMPARE(germany->child(0)->childCount(), 24);
    QCOMPARE(germany->child(1)->data(0, Qt::UserRole).toUInt(), MakeChannelCode(13, 0));
    QCOMPARE(germany->child(0)->child(0)->data(0, Qt::UserRole).toUInt(), MakeChannelCode(13, 33));
    QCOMPARE(germany->child(1)->text(0), ChannelText(m_window->channelNames(), MakeChannelCode(13, 0)));

    QCOMPARE(Leaf(1, 50)->data(0, Qt::UserRole).toUInt(), 3276801u);
    int leaves = 0;
    int groups = 0;
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it)
        ((*it)->data(0, Qt::UserRole).toUInt() != 0 ? leaves : groups) += 1;
    QCOMPARE(leaves, 408);
    QCOMPARE(groups, 23);
}

void ChannelWindowTest::selectionDecidesPlayAndDescription()
{
    Start();
    Tree()->setCurrentItem(Leaf(4, 2));
    QVERIFY(Button(ID_CHANNEL_PLAY)->isEnabled());
    QCOMPARE(Description()->toPlainText(), ChannelText(m_window->channelDescriptions(), MakeChannelCode(4, 2)));

    Tree()->setCurrentItem(Tree()->topLevelItem(1));
    QVERIFY(!Button(ID_CHANNEL_PLAY)->isEnabled());
    QCOMPARE(Description()->toPlainText(), QString());

    // The favourites tab with no favourites, and back to a selected group.
    Tabs()->setCurrentIndex(1);
    QVERIFY(!Button(ID_CHANNEL_PLAY)->isEnabled());
    QVERIFY(m_window->channelWindow()->findChild<QWidget*>(QStringLiteral("favoritesBar"))->isVisible());
    Tabs()->setCurrentIndex(0);
    QVERIFY(!Button(ID_CHANNEL_PLAY)->isEnabled());
    QCOMPARE(Description()->toPlainText(), QString());
}

void ChannelWindowTest::doubleClickPlaysTheSelectedChannel()
{
    Start();
    QVERIFY(QTest::qWaitForWindowExposed(m_window->channelWindow()));
    QTreeWidgetItem* music = Tree()->topLevelItem(4);
    const QRect groupRect = Tree()->visualItemRect(music);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, groupRect.center());
    QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, groupRect.center());
    QTRY_VERIFY(music->isExpanded());
    QVERIFY2(!Player()->calls.join(' ').contains(QStringLiteral("SetUrl")), "a group plays nothing");

    QTreeWidgetItem* first = music->child(0);
    const QRect rect = Tree()->visualItemRect(first);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, rect.center());
    QTRY_COMPARE(m_window->windowTitle(), QStringLiteral("Vantelo - ") + first->text(0));
    QCOMPARE(Player()->calls.last(), QStringLiteral("SetUrl http://127.0.0.1:18080/stream.ts"));
    QVERIFY2(Button(ID_FAVORITE_ADD)->isEnabled(), "playing enables adding to favourites");

    // A double-click on empty space plays the selected channel again.
    m_window->channelWindow()->resize(300, 1600);
    Player()->calls.clear();
    QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, QPoint(5, Tree()->viewport()->height() - 3));
    QTRY_COMPARE(Player()->calls, QStringList{QStringLiteral("SetUrl http://127.0.0.1:18080/stream.ts")});
}

void ChannelWindowTest::currentChannelTakesItsGroupsImage_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("image");
    QTest::newRow("under a sub-node") << 13 << 40 << 12;
    QTest::newRow("directly under Germany") << 13 << 5 << 23;
    QTest::newRow("under a genre") << 9 << 3 << 9;
    QTest::newRow("under USA") << 11 << 0 << 21;
}

void ChannelWindowTest::currentChannelTakesItsGroupsImage()
{
    QFETCH(int, table);
    QFETCH(int, index);
    QFETCH(int, image);
    Start();
    PlayFromTree(table, index);
    QCOMPARE(m_window->channelWindow()->currentIcon(), image);
    QCOMPARE(m_window->channelWindow()->currentCode(), MakeChannelCode(table, index));
}

void ChannelWindowTest::addingRefusesAChannelAlreadyThere()
{
    Start();
    Tabs()->setCurrentIndex(1);
    Command(ID_FAVORITE_ADD);
    QVERIFY2(ListNames().isEmpty(), "nothing played yet, nothing to add");

    AddFavourites({{1, 0}});
    QCOMPARE(ListNames().size(), 1);
    QCOMPARE(Favourites()->currentItem(), Favourites()->topLevelItem(0));
    QVERIFY(Favourites()->topLevelItem(0)->isSelected());
    QCOMPARE(m_window->favorites().icons.at(0), 1u);

    Command(ID_FAVORITE_ADD);
    // Playing the favourite itself and adding again changes nothing either.
    Command(ID_CHANNEL_PLAY);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Vantelo - ") + ListNames().at(0));
    Command(ID_FAVORITE_ADD);
    QCOMPARE(ListNames().size(), 1);
    QCOMPARE(ViewNames(), ListNames());
}

void ChannelWindowTest::removeMovesTheSelection_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("item 2 of 5") << 5 << 2 << 2;
    QTest::newRow("the last of 5") << 5 << 4 << 3;
    QTest::newRow("the only one") << 1 << 0 << -1;
}

void ChannelWindowTest::removeMovesTheSelection()
{
    QFETCH(int, count);
    QFETCH(int, removed);
    QFETCH(int, selectedAfter);
    Start();
    const QList<std::pair<int, int>> channels = {{1, 0}, {1, 1}, {4, 0}, {4, 1}, {13, 0}};
    AddFavourites(channels.mid(0, count));
    QStringList expected = ListNames();
    expected.removeAt(removed);

    Favourites()->setCurrentItem(Favourites()->topLevelItem(removed));
    QTest::mouseClick(Button(ID_FAVORITE_REMOVE), Qt::LeftButton);

    QCOMPARE(ListNames(), expected);
    QCOMPARE(ViewNames(), expected);
    QCOMPARE(m_window->favorites().codes.size(), expected.size());
    QCOMPARE(Favourites()->indexOfTopLevelItem(Favourites()->currentItem()), selectedAfter);
    if (selectedAfter >= 0)
        QVERIFY(Favourites()->topLevelItem(selectedAfter)->isSelected());
    else
        QVERIFY(!Button(ID_FAVORITE_REMOVE)->isEnabled());
}

void ChannelWindowTest::moveUpAndDownKeepListsAndViewInStep()
{
    Start();
    AddFavourites({{1, 0}, {1, 1}, {4, 0}});
    const QStringList original = ListNames();

    Favourites()->setCurrentItem(Favourites()->topLevelItem(0));
    Command(ID_FAVORITE_UP);
    QCOMPARE(ListNames(), original);
    Favourites()->setCurrentItem(Favourites()->topLevelItem(2));
    Command(ID_FAVORITE_DOWN);
    QCOMPARE(ListNames(), original);

    Command(ID_FAVORITE_UP);
    QCOMPARE(ListNames(), (QStringList{original[0], original[2], original[1]}));
    QCOMPARE(Favourites()->currentItem(), Favourites()->topLevelItem(1));
    QVERIFY(Favourites()->topLevelItem(1)->isSelected());
    Command(ID_FAVORITE_UP);
    QCOMPARE(ListNames(), (QStringList{original[2], original[0], original[1]}));
    Command(ID_FAVORITE_DOWN);
    Command(ID_FAVORITE_DOWN);
    QCOMPARE(ListNames(), original);
    QCOMPARE(ViewNames(), ListNames());
    for (int i = 0; i < Favourites()->topLevelItemCount(); ++i)
        QCOMPARE(Favourites()->topLevelItem(i)->data(0, Qt::UserRole).toUInt(), m_window->favorites().codes.at(i));
    QCOMPARE(Favourites()->selectedItems().size(), 1);
}

void ChannelWindowTest::favouritesSurviveARestart()
{
    Start();
    AddFavourites({{4, 1}, {1, 0}, {13, 0}});
    Favourites()->setCurrentItem(Favourites()->topLevelItem(2));
    Command(ID_FAVORITE_UP);
    const QStringList order = ListNames();
    m_window->close();
    m_window.reset();

    Start();
    QCOMPARE(ListNames(), order);
    QCOMPARE(ViewNames(), order);
}

void ChannelWindowTest::invalidFavouriteCodesPlayNothing()
{
    QDir().mkpath(m_dir->path() + QStringLiteral("/Vantelo"));
    QFile file(FavouritesPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<Favorites><Channel name=\"Nowhere\" id=\"18\" icon=\"99\"/>"
               "<Channel name=\"Far away\" id=\"-65519\" icon=\"1\"/></Favorites>");
    file.close();
    Start();
    QCOMPARE(ViewNames(), (QStringList{"Nowhere", "Far away"}));
    Tabs()->setCurrentIndex(1);
    for (int i = 0; i < 2; ++i) {
        Favourites()->setCurrentItem(Favourites()->topLevelItem(i));
        QCOMPARE(Description()->toPlainText(), QString());
        Command(ID_CHANNEL_PLAY);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Vantelo - ") + ViewNames().at(i));
    }
    QVERIFY(!Player()->calls.join(' ').contains(QStringLiteral("SetUrl")));
    QVERIFY(m_prompter.messages.isEmpty());
}

void ChannelWindowTest::layoutFollowsTheWindowSize()
{
    Start();
    CChannelDlg* window = m_window->channelWindow();
    window->resize(300, 500);
    const int w1 = window->playBarWidth();
    const int w2 = window->favoritesBarWidth();
    QVERIFY(w1 > 0 && w2 > 0);
    const ChannelWindowLayout expected = LayOutChannelWindow(300, 500, w1, w2);
    QCOMPARE(Tabs()->geometry(), QRect(2, 4, 296, 30));
    QCOMPARE(Tree()->geometry(), QRect(2, 25, 296, 370));
    QCOMPARE(Favourites()->geometry(), QRect(2, 25, 296, 370));
    QCOMPARE(Description()->geometry(), QRect(2, 397, 296, 70));
    QCOMPARE(window->findChild<QWidget*>(QStringLiteral("playBar"))->geometry(), expected.playBar);
    QCOMPARE(window->findChild<QWidget*>(QStringLiteral("favoritesBar"))->geometry(), expected.favoritesBar);
    QCOMPARE(expected.playBar.right(), 299);
    Tabs()->setCurrentIndex(1);
    QTRY_COMPARE(Favourites()->columnWidth(0), Favourites()->viewport()->width() - 1);
}

void ChannelWindowTest::escapeHidesAndShowChannelsBringsItBackUnchanged()
{
    Start();
    AddFavourites({{1, 0}, {4, 1}});
    Favourites()->setCurrentItem(Favourites()->topLevelItem(1));
    const QString description = Description()->toPlainText();
    QVERIFY(!description.isEmpty());

    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QTest::keyClick(Favourites(), key);
        QVERIFY(!m_window->channelWindow()->isVisible());
        m_window->ShowChannels();
        QVERIFY(m_window->channelWindow()->isVisible());
        QCOMPARE(Tabs()->currentIndex(), 1);
        QCOMPARE(Favourites()->currentItem(), Favourites()->topLevelItem(1));
        QCOMPARE(Description()->toPlainText(), description);
    }
    m_window->channelWindow()->close();
    QVERIFY(!m_window->channelWindow()->isVisible());
    QVERIFY(m_window->isVisible());
}

void ChannelWindowTest::shortChannelsDialogSectionIsReportedOnce()
{
    test::LanguageFolder packs;
    QFile english(QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages/English/Main.xml"));
    QVERIFY(english.open(QIODevice::ReadOnly));
    QByteArray main = english.readAll();
    const qsizetype cut = main.indexOf("<Item>Remove the selected favourite</Item>");
    const qsizetype end = main.indexOf("</ChannelsDialog>");
    main.remove(cut, end - cut);
    packs.write(QStringLiteral("English"), QStringLiteral("Main.xml"), main);
    QFile channels(QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages/English/Channels.xml"));
    QVERIFY(channels.open(QIODevice::ReadOnly));
    packs.write(QStringLiteral("English"), QStringLiteral("Channels.xml"), channels.readAll());

    Start(packs.root());
    QCOMPARE(m_prompter.messages.size(), 1);
    QCOMPARE(m_prompter.messages[0].text, QStringLiteral("An invalid argument was encountered."));
    // The window exists with what was set up before the missing text.
    QCOMPARE(Button(ID_FAVORITE_ADD)->toolTip(), QStringLiteral("Add the channel now playing to your favourites"));
    QVERIFY(m_window->channelWindow()->isVisible());
    m_window->channelWindow()->resize(250, 400);
    QCOMPARE(Tree()->geometry().width(), 246);
}

}  // namespace vantelo

QTEST_MAIN(vantelo::ChannelWindowTest)
#include "channel_window_test.moc"
