// Vantelo: the program's start. It takes no arguments.

#include <clocale>

#include <QApplication>

#include "app/main_window.h"
#include "platform/message_box_prompter.h"
#include "platform/mpv_player.h"

int main(int argc, char** argv)
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

    vantelo::MessageBoxPrompter prompter;
    vantelo::MainWindowServices services;
    services.prompter = &prompter;
    services.createPlayer = [](QWidget* parent) -> std::unique_ptr<vantelo::PlayerControl> {
        return vantelo::MpvPlayer::Create({}, parent);
    };
    vantelo::CLuvaneDlg mainWindow(std::move(services));
    prompter.SetOwner(&mainWindow);
    QObject::connect(&mainWindow, &vantelo::CLuvaneDlg::finished, &application, &QCoreApplication::quit);
    if (!mainWindow.OnInitDialog())
        return 0;
    return QApplication::exec();
}
