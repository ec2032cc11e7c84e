#pragma once

#include <memory>

#include <QTemporaryDir>

#include "app/main_window.h"
#include "support/recording_player.h"
#include "support/recording_prompter.h"
#include "support/recording_shell.h"

namespace vantelo {
const AddressTable& TestAddressTable();
}

namespace vantelo::test {

inline const QString kShippedLanguages = QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages");

// A main window as the program makes it, with recorders for the player, the
// messages and the shell, and its files in a throw-away folder.
class MainWindowFixture {
public:
    QString appData() const { return m_dir.path() + QStringLiteral("/Vantelo"); }

    std::unique_ptr<CLuvaneDlg> Make(const QString& languagesRoot = kShippedLanguages)
    {
        MainWindowServices services;
        services.prompter = &prompter;
        services.shell = &shell;
        services.languagesRoot = languagesRoot;
        services.appDataFolder = appData();
        services.addressTable = &TestAddressTable();
        services.channelIconsFile = QStringLiteral(VANTELO_BINARY_DIR "/icons.rcc");
        services.createPlayer = [](QWidget* parent) -> std::unique_ptr<PlayerControl> {
            return std::make_unique<RecordingPlayer>(parent);
        };
        return std::make_unique<CLuvaneDlg>(std::move(services));
    }

    static RecordingPlayer* Player(const CLuvaneDlg& window) { return static_cast<RecordingPlayer*>(window.player()); }

    RecordingPrompter prompter;
    RecordingShell shell;

private:
    QTemporaryDir m_dir;
};

}  // namespace vantelo::test
