#pragma once

#include <QStringList>
#include <QWidget>

#include "platform/player_control.h"

namespace vantelo::test {

// A player that only writes down what it was asked to do, as one line per
// call ("SetVolume 37"), so that tests can compare whole sequences.
class RecordingPlayer final : public QWidget, public PlayerControl {
public:
    explicit RecordingPlayer(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("player")); }

    QWidget* widget() override { return this; }
    void SetEnableContextMenu(bool enabled) override { Record(QStringLiteral("SetEnableContextMenu"), enabled); }
    void SetMute(bool muted) override
    {
        m_muted = muted;
        Record(QStringLiteral("SetMute"), muted);
    }
    void SetVolume(int volume) override
    {
        m_volume = volume;
        calls << QStringLiteral("SetVolume %1").arg(volume);
    }
    void SetUiMode(const QString& mode) override { calls << QStringLiteral("SetUiMode ") + mode; }
    void SetStretchToFit(bool stretch) override { Record(QStringLiteral("SetStretchToFit"), stretch); }
    void SetFullScreen(bool fullScreen) override { Record(QStringLiteral("SetFullScreen"), fullScreen); }
    void Stop() override { calls << QStringLiteral("Stop"); }
    void SetUrl(const QString& url) override { calls << QStringLiteral("SetUrl ") + url; }
    void Close() override { calls << QStringLiteral("Close"); }
    bool GetMute() const override { return m_muted; }
    int GetVolume() const override { return m_volume; }

    QStringList calls;

private:
    void Record(const QString& name, bool value) { calls << name + (value ? QStringLiteral(" true") : QStringLiteral(" false")); }

    bool m_muted = false;
    int m_volume = 100;
};

}  // namespace vantelo::test
