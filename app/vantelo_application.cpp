#include "app/vantelo_application.h"

#include <clocale>

#include <QApplication>

#include "app/main_window.h"
#include "platform/desktop_shell.h"
#include "platform/message_box_prompter.h"
#include "platform/mpv_player.h"

namespace vantelo {

int RunVantelo(int& argc, char** argv, const AddressTable* addressTable)
{
    QApplication application(argc, argv);
    // QApplication has just set the locale from the environment; libmpv refuses
    // to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Vantelo"));
    QApplication::setApplicationVersion(QStringLiteral("1.4"));
    QApplication::setDesktopFileName(QStringLiteral("vantelo"));
    // The channel window may stay open; the program ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    MessageBoxPrompter prompter;
    DesktopShell shell;
    MainWindowServices services;
    services.prompter = &prompter;
    services.shell = &shell;
    services.createPlayer = [](QWidget* parent) -> std::unique_ptr<PlayerControl> {
        return MpvPlayer::Create({}, parent);
    };
    services.addressTable = addressTable;
    CLuvaneDlg mainWindow(std::move(services));
    prompter.SetOwner(&mainWindow);
    QObject::connect(&mainWindow, &CLuvaneDlg::finished, &application, &QCoreApplication::quit);
    // A failed start has told the user why; the program just ends.
    if (!mainWindow.OnInitDialog())
        return 0;
    return QApplication::exec();
}

}  // namespace vantelo
