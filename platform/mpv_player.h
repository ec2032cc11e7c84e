#pragma once

#include <atomic>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include "platform/player_control.h"
#include "platform/stream_status.h"

struct mpv_handle;
struct mpv_event;
struct mpv_event_property;
class QNetworkAccessManager;
class QNetworkReply;
class QShortcut;

namespace vantelo {

class MpvVideoWidget;
class PlayerControlBar;

struct MpvPlayerOptions {
    // No picture widget and no sound device: decodes into nothing. For tests
    // and tools that run without a display.
    bool headless = false;
    // A stream that shows no picture by then has failed; mpv alone would wait
    // forever on a trickle or on a live playlist whose segments are missing.
    // Both deadlines leave room to report the failure within 10 seconds.
    int firstFrameDeadlineSeconds = 8;
    // A playing stream that has waited this long for data has stalled.
    int stallDeadlineSeconds = 8;
};

// The player: libmpv decodes and streams on its own threads; everything here
// runs on the GUI thread. mpv only wakes us up; its events are read here, and
// nothing that can wait on the network is called synchronously.
class MpvPlayer final : public QWidget, public PlayerControl {
    Q_OBJECT
public:
    // nullptr when libmpv cannot be created or initialised.
    static std::unique_ptr<MpvPlayer> Create(const MpvPlayerOptions& options = {}, QWidget* parent = nullptr);
    ~MpvPlayer() override;

    QWidget* widget() override { return this; }
    void SetEnableContextMenu(bool enabled) override;
    void SetMute(bool muted) override;
    void SetVolume(int volume) override;
    void SetUiMode(const QString& mode) override;
    void SetStretchToFit(bool stretch) override;
    void SetFullScreen(bool fullScreen) override;
    void Stop() override;
    void SetUrl(const QString& url) override;
    void Close() override;
    bool GetMute() const override { return m_muted; }
    int GetVolume() const override { return m_volume; }

    const StreamStatus& status() const { return m_status; }
    double timePosition() const { return m_timePosition; }
    QSize videoSize() const { return m_videoSize; }
    bool isFullScreen() const { return m_fullScreen; }

signals:
    void statusChanged(const vantelo::StreamStatus& status);
    void fullScreenChanged(bool fullScreen);

private:
    struct MpvHandleDeleter {
        void operator()(mpv_handle* handle) const;
    };

    MpvPlayer(mpv_handle* handle, const MpvPlayerOptions& options, QWidget* parent);

    static void OnWakeup(void* context);
    void DrainEvents();
    void HandleEvent(const mpv_event& event);
    void HandlePropertyChange(const mpv_event_property& property);
    void HandleEndOfFile(const mpv_event& event);
    void LoadCurrentUrl();
    void Load(const QString& url);
    void ResolveHlsVariant();
    void OnPlaylistFetched(QNetworkReply* reply, const QString& requested);
    void OnFirstFrameDeadline();
    void OnStallDeadline();
    void SetStatus(StreamState state, const QString& failureReason = {});
    void TogglePlayPause();
    void LeaveFullScreen();
    void UpdateBarVisibility();
    void SetFlag(const char* name, bool value);

    std::unique_ptr<mpv_handle, MpvHandleDeleter> m_mpv;
    MpvPlayerOptions m_options;
    MpvVideoWidget* m_video = nullptr;
    PlayerControlBar* m_bar = nullptr;
    QShortcut* m_leaveFullScreen = nullptr;
    QTimer m_firstFrameDeadline;
    QTimer m_stallDeadline;
    std::atomic<bool> m_drainQueued{false};

    StreamFailureClassifier m_classifier;
    std::optional<QString> m_pendingFailure;  // engine error, named after the drain
    StreamStatus m_status;
    QString m_url;
    QElapsedTimer m_sinceUrl;
    // What to hand the engine for a channel's address: the chosen variant of an
    // HLS master playlist, or the address itself. Learnt once per address.
    QHash<QString, QString> m_playTarget;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_playlistRequest;
    bool m_loadWaitsForRenderContext = false;
    bool m_videoUnavailable = false;  // no OpenGL: sound only
    bool m_sawFirstFrame = false;
    bool m_muted = false;
    int m_volume = 100;
    bool m_paused = false;
    bool m_pausedForCache = false;
    bool m_barWanted = true;
    bool m_fullScreen = false;
    Qt::WindowStates m_windowStateBeforeFullScreen;
    double m_timePosition = 0.0;
    QSize m_videoSize;
};

}  // namespace vantelo
