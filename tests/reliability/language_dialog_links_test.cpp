// The language dialog offers only packs the loader will read: no folder that is
// a symbolic link, and no folder whose name is not UTF-8.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "lang/language_dialog.h"
#include "lang/load_language.h"
#include "support/language_folder.h"
#include "support/recording_prompter.h"

namespace vantelo {

class LanguageDialogLinksTest : public QObject {
    Q_OBJECT

private slots:
    void offersOnlyRealFoldersWithNamesTheLoaderCanOpen();
};

void LanguageDialogLinksTest::offersOnlyRealFoldersWithNamesTheLoaderCanOpen()
{
    test::LanguageFolder packs;
    for (const char* name : {"English", "Deutsch", "Русский"})
        packs.write(QString::fromUtf8(name), QStringLiteral("Main.xml"), "<L><Groups><i>x</i></Groups></L>");
    QTemporaryDir outside;
    QVERIFY(QDir().mkpath(outside.filePath(QStringLiteral("Evil"))));
    QFile evil(outside.filePath(QStringLiteral("Evil/Main.xml")));
    QVERIFY(evil.open(QIODevice::WriteOnly));
    evil.write("<L><Groups><i>evil</i></Groups></L>");
    evil.close();
    const QByteArray root = QFile::encodeName(packs.root());
    QCOMPARE(symlink(QFile::encodeName(outside.filePath(QStringLiteral("Evil"))).constData(), (root + "/Evil").constData()), 0);
    QCOMPARE(symlink("English", (root + "/Alias").constData()), 0);
    QCOMPARE(symlink("/nonexistent", (root + "/Dangling").constData()), 0);
    // Qt cannot list this one, so it cannot remove it either: removed here.
    const QByteArray notUtf8 = root + "/Fran\xE7" "ais";
    QCOMPARE(mkdir(notUtf8.constData(), 0755), 0);
    const auto removeNotUtf8 = qScopeGuard([&notUtf8] { rmdir(notUtf8.constData()); });

    LanguageTexts texts;
    for (const char* text : {"Language", "Select language:", "OK", "Cancel"})
        texts.section(Section::LanguagesDialog).append(QString::fromUtf8(text));
    CLanguageDlg dialog(texts, packs.root(), nullptr);
    dialog.OnInitDialog();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("languageList"));
    QVERIFY(list != nullptr);
    QStringList shown;
    for (int row = 0; row < list->count(); ++row)
        shown << list->item(row)->text();
    shown.sort();
    QCOMPARE(shown, (QStringList{QStringLiteral("Deutsch"), QStringLiteral("English"), QString::fromUtf8("Русский")}));

    // Every name offered loads its own pack.
    for (const QString& name : shown) {
        QString language = name;
        LanguageTexts loaded;
        test::RecordingPrompter prompter;
        QVERIFY(LoadLanguage(language, loaded, prompter, packs.root()));
        QCOMPARE(language, name);
        QVERIFY(prompter.messages.isEmpty());
    }
}

}  // namespace vantelo

QTEST_MAIN(vantelo::LanguageDialogLinksTest)
#include "language_dialog_links_test.moc"
