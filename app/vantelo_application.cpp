#include "app/vantelo_application.h"

#include <clocale>

#include <QApplication>
#include <QtGlobal>

#include "app/main_window.h"
#include "platform/desktop_shell.h"
#include "platform/message_box_prompter.h"
#include "platform/mpv_player.h"

namespace vantelo {
namespace {

// Under a Wayland session Qt would otherwise often run the program through
// XWayland. Ask for the compositor itself, with X11 as the fallback Qt takes
// when no Wayland connection can be made (no plugin, a stale socket). A choice
// the user made in QT_QPA_PLATFORM is left alone.
void PreferWaylandWhereAvailable()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
}

}  // namespace

int RunVantelo(int& argc, char** argv, const AddressTable* addressTable)
{
    PreferWaylandWhereAvailable();
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
