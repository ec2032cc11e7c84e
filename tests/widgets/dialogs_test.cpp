// The language dialog and the language switch, the About and the donation
// dialogs, on the offscreen platform with recording prompter, shell and player.

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "app/product_config.h"
#include "app/settings_store.h"
#include "dialogs/about_dialog.h"
#include "dialogs/donate_dialog.h"
#include "lang/language_dialog.h"
#include "platform/event_guard.h"
#include "support/file_bytes.h"
#include "support/language_folder.h"
#include "support/main_window_fixture.h"

namespace vantelo {

using test::MainWindowFixture;

namespace {

// Runs `act` on the next modal dialog once it is open.
void WhenDialogOpens(std::function<void(QDialog*)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        act(dialog);
    });
}

void ChooseLanguage(CLuvaneDlg& window, const QString& name)
{
    WhenDialogOpens([name](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("languageList"));
        const auto found = list->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        list->setCurrentItem(found.first());
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    window.OnCommand(ID_LANGUAGE);
}

QStringList ShippedPacks()
{
    return QDir(test::kShippedLanguages).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void languageDialogListsEveryFolderInOrder();
    void okFollowsTheSelectionAndTakesTheSelectionMark();
    void shortLanguagesDialogSectionStillOpens();
    void switchingChangesEveryText_data();
    void switchingChangesEveryText();
    void aPackWithoutMainXmlWarnsAndSettlesOnEnglish();
    void choosingTheCurrentLanguageRebuildsAndCancelChangesNothing();
    void noReadablePackKeepsTheCurrentTexts();
    void aboutLinkIsHitExactlyOverTheAddress();
    void aboutOpensTheMailProgramAndTheDonationDialog();
    void donationButtonsOpenTheirOwnPages();
};

void DialogsTest::languageDialogListsEveryFolderInOrder()
{
    test::LanguageFolder packs;
    // Written in an order unlike the sorted one; one hidden folder, one file.
    for (const char* name : {"Zulu", "Deutsch", ".hidden", "English", "Ärger"})
        packs.write(QString::fromUtf8(name), QStringLiteral("Main.xml"), "<L/>");
    QFile(test::kShippedLanguages + QStringLiteral("/English/Main.xml")).copy(packs.root() + QStringLiteral("/English/Main.xml.bak"));
    QFile stray(packs.root() + QStringLiteral("/readme.txt"));
    QVERIFY(stray.open(QIODevice::WriteOnly));
    stray.close();
    QVERIFY(QFile::copy(QStringLiteral(VANTELO_BINARY_DIR "/Languages/Deutsch/Flag.ico"),
                        packs.root() + QStringLiteral("/Deutsch/Flag.ico")));

    LanguageTexts texts;
    for (const char* text : {"Language", "Select language:", "OK", "Cancel"})
        texts.section(Section::LanguagesDialog).append(QString::fromUtf8(text));
    CLanguageDlg dialog(texts, packs.root(), nullptr);
    dialog.OnInitDialog();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("languageList"));
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    QCOMPARE(shown, (QStringList{".hidden", "Deutsch", "English", "Zulu", QString::fromUtf8("Ärger")}));
    QVERIFY(!list->findItems(QStringLiteral("Deutsch"), Qt::MatchExactly).first()->icon().isNull());
    QVERIFY(list->findItems(QStringLiteral("Zulu"), Qt::MatchExactly).first()->icon().isNull());
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Language"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("label"))->text(), QStringLiteral("Select language:"));
}

void DialogsTest::okFollowsTheSelectionAndTakesTheSelectionMark()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    CLanguageDlg dialog(window->languageTexts(), test::kShippedLanguages, window.get());
    dialog.OnInitDialog();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("languageList"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("ok"));
    QVERIFY(!ok->isEnabled());
    QCOMPARE(ok->text(), QStringLiteral("OK"));

    QListWidgetItem* deutsch = list->findItems(QStringLiteral("Deutsch"), Qt::MatchExactly).first();
    QListWidgetItem* english = list->findItems(QStringLiteral("English"), Qt::MatchExactly).first();
    list->setCurrentItem(deutsch);
    QVERIFY(ok->isEnabled());
    deutsch->setSelected(false);
    QVERIFY(!ok->isEnabled());

    // Two selected: the one clicked last, at the selection mark, is taken.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(english).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(deutsch).center());
    QCOMPARE(list->selectedItems().size(), 2);
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.language(), QStringLiteral("Deutsch"));
}

void DialogsTest::shortLanguagesDialogSectionStillOpens()
{
    MainWindowFixture fixture;
    LanguageTexts texts;
    for (const char* text : {"Sprache", "Sprache wählen:", "OK"})
        texts.section(Section::LanguagesDialog).append(QString::fromUtf8(text));
    CLanguageDlg dialog(texts, test::kShippedLanguages, nullptr);
    QVERIFY(!RunGuarded(fixture.prompter, [&dialog] { dialog.OnInitDialog(); }));
    QCOMPARE(fixture.prompter.messages.size(), 1);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Sprache"));
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("ok"))->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.findChild<QListWidget*>(QStringLiteral("languageList"))->count(), 0);
}

void DialogsTest::switchingChangesEveryText_data()
{
    QTest::addColumn<QString>("language");
    for (const QString& pack : ShippedPacks())
        QTest::newRow(qPrintable(pack)) << pack;
}

// Through every shipped pack and back to English: the menus, the tree and the
// channel window all speak the new language, and the favourites keep their names.
void DialogsTest::switchingChangesEveryText()
{
    QFETCH(QString, language);
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    CChannelDlg* channels = window->channelWindow();
    auto* tree = channels->findChild<QTreeWidget*>(QStringLiteral("catalogueTree"));
    tree->setCurrentItem(tree->topLevelItem(1)->child(0));
    channels->OnCommand(ID_CHANNEL_PLAY);
    const QString englishName = channels->currentName();
    channels->findChild<QTabBar*>(QStringLiteral("tabs"))->setCurrentIndex(1);
    channels->OnCommand(ID_FAVORITE_ADD);
    window->OnCommand(ID_ORIGINAL_SIZE);

    for (const QString& step : {language, QStringLiteral("English")}) {
        ChooseLanguage(*window, step);
        QCOMPARE(window->settings().language, step);
        QVERIFY2(fixture.prompter.messages.isEmpty(), qPrintable(fixture.prompter.messages.value(0).text));
        const LanguageTexts& texts = window->languageTexts();
        QCOMPARE(window->menuBarWidget()->actions()[0]->text(), texts.text(Section::MainMenu, 0));
        QCOMPARE(window->popup(1)->actions()[0]->text(), texts.text(Section::MainMenu, 5) + QStringLiteral("\tSpace"));
        QCOMPARE(window->contextMenu()->actions().last()->text(), texts.text(Section::ContexMenu, 9));
        QVERIFY2(window->popup(1)->actions()[4]->isChecked(), "check marks follow the current options");
        QCOMPARE(channels->windowTitle(), texts.text(Section::ChannelsDialog, 0));
        auto* tabs = channels->findChild<QTabBar*>(QStringLiteral("tabs"));
        QCOMPARE(tabs->tabText(0), texts.text(Section::ChannelsDialog, 1));
        QCOMPARE(tabs->currentIndex(), 1);
        auto* play = channels->findChild<QToolButton*>(QStringLiteral("command125"));
        QCOMPARE(play->text(), texts.text(Section::ChannelsDialog, 3));
        QCOMPARE(channels->playBarWidth(), play->width());
        QCOMPARE(channels->findChild<QToolButton*>(QStringLiteral("command129"))->toolTip(),
                 texts.text(Section::ChannelsDialog, 8));
        QCOMPARE(tree->topLevelItem(0)->text(0), texts.text(Section::Groups, 0));
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), texts.text(Section::Countries, 3));
        int leaves = 0;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const ChannelCode code = (*it)->data(0, Qt::UserRole).toUInt();
            if (code != 0) {
                QCOMPARE((*it)->text(0), ChannelText(window->channelNames(), code));
                ++leaves;
            }
        }
        QCOMPARE(leaves, 408);
        auto* favourites = channels->findChild<QTreeWidget*>(QStringLiteral("favoritesList"));
        QCOMPARE(favourites->topLevelItem(0)->text(0), englishName);
        QCOMPARE(window->windowTitle(), QStringLiteral("Vantelo - ") + englishName);
    }
}

void DialogsTest::aPackWithoutMainXmlWarnsAndSettlesOnEnglish()
{
    test::LanguageFolder packs;
    for (const char* file : {"Main.xml", "Channels.xml"})
        packs.write(QStringLiteral("English"), QString::fromLatin1(file),
                    test::ReadBytes(test::kShippedLanguages + QStringLiteral("/English/") + QString::fromLatin1(file)));
    packs.write(QStringLiteral("Klingon"), QStringLiteral("Channels.xml"), "<C/>");
    MainWindowFixture fixture;
    auto window = fixture.Make(packs.root());
    QVERIFY(window->OnInitDialog());
    ChooseLanguage(*window, QStringLiteral("Klingon"));
    QCOMPARE(fixture.prompter.messages.size(), 1);
    QCOMPARE(fixture.prompter.messages[0].caption, QStringLiteral("Warning"));
    QCOMPARE(fixture.prompter.messages[0].text,
             QStringLiteral("Cannot open Klingon language file, will be used English."));
    QCOMPARE(window->settings().language, QStringLiteral("English"));
    QCOMPARE(window->popup(3)->actions()[0]->text(), QStringLiteral("&About Vantelo..."));
    window->close();
    SettingsRecord saved;
    QVERIFY(LoadSettings(fixture.appData() + QStringLiteral("/Settings.xml"), saved));
    QCOMPARE(saved.language, QStringLiteral("English"));
}

void DialogsTest::choosingTheCurrentLanguageRebuildsAndCancelChangesNothing()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    auto* tree = window->channelWindow()->findChild<QTreeWidget*>(QStringLiteral("catalogueTree"));
    tree->topLevelItem(0)->setExpanded(true);
    const QMenu* oldPopup = window->popup(0);
    ChooseLanguage(*window, QStringLiteral("English"));
    QVERIFY2(window->popup(0) != oldPopup || !tree->topLevelItem(0)->isExpanded(), "rebuilt");
    QVERIFY2(!tree->topLevelItem(0)->isExpanded(), "the tree was built anew");

    tree->topLevelItem(0)->setExpanded(true);
    const QMenu* popup = window->popup(0);
    WhenDialogOpens([](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("languageList"));
        list->setCurrentItem(list->findItems(QStringLiteral("Deutsch"), Qt::MatchExactly).first());
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
    });
    window->OnCommand(ID_LANGUAGE);
    QCOMPARE(window->settings().language, QStringLiteral("English"));
    QCOMPARE(window->popup(0), popup);
    QVERIFY(tree->topLevelItem(0)->isExpanded());
}

void DialogsTest::noReadablePackKeepsTheCurrentTexts()
{
    test::LanguageFolder packs;
    for (const char* file : {"Main.xml", "Channels.xml"})
        packs.write(QStringLiteral("English"), QString::fromLatin1(file),
                    test::ReadBytes(test::kShippedLanguages + QStringLiteral("/English/") + QString::fromLatin1(file)));
    packs.write(QStringLiteral("Broken"), QStringLiteral("Main.xml"), "<L><MainMenu>");
    MainWindowFixture fixture;
    auto window = fixture.Make(packs.root());
    QVERIFY(window->OnInitDialog());
    // The English pack goes away while the program runs.
    QVERIFY(QDir(packs.root() + QStringLiteral("/English")).removeRecursively());
    ChooseLanguage(*window, QStringLiteral("Broken"));
    QCOMPARE(fixture.prompter.messages.size(), 2);
    QCOMPARE(fixture.prompter.messages[1].text, QStringLiteral("Cannot open language file. Please reinstall the program."));
    QCOMPARE(window->settings().language, QStringLiteral("English"));
    QCOMPARE(window->popup(3)->actions()[0]->text(), QStringLiteral("&About Vantelo..."));
    auto* tree = window->channelWindow()->findChild<QTreeWidget*>(QStringLiteral("catalogueTree"));
    QCOMPARE(tree->topLevelItemCount(), 11);
}

void DialogsTest::aboutLinkIsHitExactlyOverTheAddress()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    CAboutDlg about(window->languageTexts(), fixture.shell, fixture.prompter, window.get());
    about.OnInitDialog();
    const LinkRect link = about.linkRect();
    auto* label = about.findChild<QLabel*>(QStringLiteral("label1011"));
    auto* address = about.findChild<QLabel*>(QStringLiteral("link1017"));
    QCOMPARE(address->text(), QStringLiteral(VANTELO_SUPPORT_EMAIL));
    QCOMPARE(label->geometry().right() + 1, link.left);
    QCOMPARE(address->geometry().left(), link.left);
    QCOMPARE(link.right - link.left, address->fontMetrics().horizontalAdvance(address->text()));
    QVERIFY(address->font().underline());

    const struct {
        QPoint point;
        bool over;
    } points[] = {
        {{link.left, link.top}, true},          {{link.right, link.bottom}, true},
        {{link.left - 1, link.top}, false},     {{link.right + 1, link.bottom}, false},
        {{link.left, link.top - 1}, false},     {{link.right, link.bottom + 1}, false},
        {{(link.left + link.right) / 2, (link.top + link.bottom) / 2}, true},
    };
    for (const auto& probe : points) {
        QTest::mouseMove(&about, probe.point);
        QMouseEvent move(QEvent::MouseMove, probe.point, about.mapToGlobal(probe.point), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&about, &move);
        QCOMPARE(about.overLink(), probe.over);
        QCOMPARE(about.cursor().shape(), probe.over ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
}

void DialogsTest::aboutOpensTheMailProgramAndTheDonationDialog()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    CAboutDlg about(window->languageTexts(), fixture.shell, fixture.prompter, window.get());
    about.OnInitDialog();
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vantelo"));
    const LinkRect link = about.linkRect();

    QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(fixture.shell.opened.isEmpty());
    const QPoint over((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    QMouseEvent move(QEvent::MouseMove, over, about.mapToGlobal(over), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&about, &move);
    QTest::mouseClick(&about, Qt::LeftButton, {}, over);
    QCOMPARE(fixture.shell.opened, QList<QUrl>{QUrl(QStringLiteral("mailto:" VANTELO_SUPPORT_EMAIL))});

    bool donationOnTop = false;
    WhenDialogOpens([&donationOnTop, &about](QDialog* dialog) {
        donationOnTop = dialog->objectName() == QStringLiteral("donateDialog") && dialog->parentWidget() == &about;
        dialog->reject();
    });
    QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("donate")), Qt::LeftButton);
    QVERIFY(donationOnTop);
}

void DialogsTest::donationButtonsOpenTheirOwnPages()
{
    MainWindowFixture fixture;
    auto window = fixture.Make();
    QVERIFY(window->OnInitDialog());
    QStringList buttonTexts;
    WhenDialogOpens([&buttonTexts](QDialog* dialog) {
        for (const int id : {1012, 1013, 1014}) {
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("donate%1").arg(id));
            buttonTexts << button->text();
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(dialog->isVisible());
        }
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Support Vantelo"));
        dialog->accept();
    });
    window->OnCommand(ID_DONATE);
    QCOMPARE(buttonTexts, (QStringList{"Donate $10", "Donate $15", "Donate $20"}));
    QCOMPARE(fixture.shell.opened.size(), 3);
    QCOMPARE(fixture.shell.opened[0],
             QUrl(QStringLiteral("https://" VANTELO_PAYMENT_HOST "/jsp/buynow.jsp?contractId=" VANTELO_ORDER_10)));
    QCOMPARE(fixture.shell.opened[2].query(), QStringLiteral("contractId=" VANTELO_ORDER_20));
    QCOMPARE(QSet<QUrl>(fixture.shell.opened.begin(), fixture.shell.opened.end()).size(), 3);
}

}  // namespace vantelo

QTEST_MAIN(vantelo::DialogsTest)
#include "dialogs_test.moc"
