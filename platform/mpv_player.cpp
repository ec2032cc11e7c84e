#include "platform/mpv_player.h"

#include <mpv/client.h>

#include <QKeySequence>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/hls_playlist.h"
#include "platform/mpv_names.h"
#include "platform/mpv_video_widget.h"
#include "platform/player_control_bar.h"

namespace vantelo {
namespace {

namespace names = mpv_names;

// Reply ids of the observed properties.
enum ObservedProperty : std::uint64_t {
    kObservePause = 1,
    kObserveMute,
    kObserveVolume,
    kObservePausedForCache,
    kObserveCacheBufferingState,
    kObserveTimePos,
    kObserveVideoWidth,
    kObserveVideoHeight,
};

constexpr int kNetworkTimeoutSeconds = 7;
// A master playlist is a few kilobytes; anything much larger is not one.
constexpr qint64 kMaxPlaylistBytes = 256 * 1024;
constexpr int kPlaylistTimeoutMs = 3000;
constexpr int kMaxRememberedAddresses = 1024;

struct Option {
    const char* name;
    const char* value;
};

// Options chosen for live television: start fast, change channel fast, and
// never wait on a dead stream for long.
constexpr Option kLiveStreamOptions[] = {
    // Addresses are plain media; the external downloader hook would only add
    // a process start to every failed channel.
    {"ytdl", "no"},
    // With the cache on, stopping a live HLS stream takes ~200 ms; without it,
    // 2-3 ms, which is most of a channel change.
    {"cache", "no"},
    // One request less per HLS segment.
    {"demuxer-lavf-o", "http_multiple=0"},
    // Probing MPEG-TS for stream details costs extra reads before the first
    // frame; the decoders find out the rest themselves.
    {"demuxer-lavf-probe-info", "nostreams"},
    {"demuxer-lavf-analyzeduration", "0.5"},
    // Without it the render call on the GUI thread takes ~30 ms per frame and
    // the windows stutter while video plays.
    {"video-timing-offset", "0"},
    // A server that accepts the connection and sends nothing fails by itself,
    // before our own first-picture deadline.
    {"network-timeout", "7"},  // kNetworkTimeoutSeconds
    // The windows own the keyboard and the mouse.
    {"input-default-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"input-cursor", "no"},
    {"osc", "no"},
    {"idle", "yes"},
    {"keep-open", "no"},
    {"hwdec", "auto-safe"},
    {"audio-client-name", "Vantelo"},
};

}  // namespace

void MpvPlayer::MpvHandleDeleter::operator()(mpv_handle* handle) const
{
    mpv_terminate_destroy(handle);
}

std::unique_ptr<MpvPlayer> MpvPlayer::Create(const MpvPlayerOptions& options, QWidget* parent)
{
    mpv_handle* handle = mpv_create();
    if (handle == nullptr)
        return nullptr;
    for (const Option& option : kLiveStreamOptions)
        mpv_set_option_string(handle, option.name, option.value);
    mpv_set_option_string(handle, "vo", options.headless ? "null" : "libmpv");
    if (options.headless)
        mpv_set_option_string(handle, "ao", "null");
    if (mpv_initialize(handle) < 0) {
        mpv_terminate_destroy(handle);
        return nullptr;
    }
    return std::unique_ptr<MpvPlayer>(new MpvPlayer(handle, options, parent));
}

MpvPlayer::MpvPlayer(mpv_handle* handle, const MpvPlayerOptions& options, QWidget* parent)
    : QWidget(parent), m_mpv(handle), m_options(options)
{
    setObjectName(QStringLiteral("player"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!options.headless) {
        m_video = new MpvVideoWidget(handle, this);
        layout->addWidget(m_video, 1);
        connect(m_video, &MpvVideoWidget::renderContextReady, this, [this] {
            if (m_loadWaitsForRenderContext)
                LoadCurrentUrl();
        });
        // Without OpenGL there is no picture, but the sound can still play.
        connect(m_video, &MpvVideoWidget::renderContextFailed, this, [this] {
            m_videoUnavailable = true;
            if (m_loadWaitsForRenderContext)
                LoadCurrentUrl();
        });
        connect(m_video, &MpvVideoWidget::doubleClicked, this, [this] { SetFullScreen(!m_fullScreen); });
    } else {
        layout->addStretch(1);
    }
    m_bar = new PlayerControlBar(this);
    layout->addWidget(m_bar);
    m_bar->ShowVolume(m_volume);
    connect(m_bar, &PlayerControlBar::playPauseClicked, this, &MpvPlayer::TogglePlayPause);
    connect(m_bar, &PlayerControlBar::stopClicked, this, &MpvPlayer::Stop);
    connect(m_bar, &PlayerControlBar::muteClicked, this, [this] { SetMute(!m_muted); });
    connect(m_bar, &PlayerControlBar::volumeMoved, this, &MpvPlayer::SetVolume);
    connect(m_bar, &PlayerControlBar::fullScreenClicked, this, [this] { SetFullScreen(!m_fullScreen); });

    m_leaveFullScreen = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_leaveFullScreen->setContext(Qt::WindowShortcut);
    m_leaveFullScreen->setEnabled(false);
    connect(m_leaveFullScreen, &QShortcut::activated, this, &MpvPlayer::LeaveFullScreen);

    m_firstFrameDeadline.setSingleShot(true);
    m_firstFrameDeadline.setInterval(options.firstFrameDeadlineSeconds * 1000);
    connect(&m_firstFrameDeadline, &QTimer::timeout, this, &MpvPlayer::OnFirstFrameDeadline);
    m_stallDeadline.setSingleShot(true);
    m_stallDeadline.setInterval(options.stallDeadlineSeconds * 1000);
    connect(&m_stallDeadline, &QTimer::timeout, this, &MpvPlayer::OnStallDeadline);

    mpv_handle* mpv = m_mpv.get();
    mpv_request_log_messages(mpv, "warn");
    mpv_observe_property(mpv, kObservePause, names::kPause, MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, kObserveMute, names::kMute, MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, kObserveVolume, names::kVolume, MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, kObservePausedForCache, names::kPausedForCache, MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, kObserveCacheBufferingState, names::kCacheBufferingState, MPV_FORMAT_INT64);
    mpv_observe_property(mpv, kObserveTimePos, names::kTimePos, MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, kObserveVideoWidth, names::kVideoWidth, MPV_FORMAT_INT64);
    mpv_observe_property(mpv, kObserveVideoHeight, names::kVideoHeight, MPV_FORMAT_INT64);
    mpv_set_wakeup_callback(mpv, &MpvPlayer::OnWakeup, this);
}

MpvPlayer::~MpvPlayer()
{
    mpv_set_wakeup_callback(m_mpv.get(), nullptr, nullptr);
    // Stop and let the stream end first: freeing the render context while
    // video runs costs a quarter of a second.
    const char* stop[] = {names::kStop, nullptr};
    mpv_command(m_mpv.get(), stop);
    if (m_status.state != StreamState::Idle) {
        for (int waited = 0; waited < 10; ++waited) {
            const mpv_event* event = mpv_wait_event(m_mpv.get(), 0.05);
            if (event->event_id == MPV_EVENT_END_FILE)
                break;
        }
    }
    if (m_video != nullptr)
        m_video->ReleaseRenderContext();
    m_mpv.reset();
}

// Runs on one of mpv's threads: only queue the draining on the GUI thread,
// once until it has run.
void MpvPlayer::OnWakeup(void* context)
{
    auto* player = static_cast<MpvPlayer*>(context);
    if (!player->m_drainQueued.exchange(true))
        QMetaObject::invokeMethod(player, &MpvPlayer::DrainEvents, Qt::QueuedConnection);
}

void MpvPlayer::DrainEvents()
{
    m_drainQueued = false;
    while (m_mpv) {
        const mpv_event* event = mpv_wait_event(m_mpv.get(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        HandleEvent(*event);
    }
    // mpv hands out log messages only after its other events, so the lines that
    // say why a stream failed are read after its end-of-file; name the reason
    // once everything queued has been read.
    if (m_pendingFailure) {
        m_playTarget.remove(m_url);
        const bool waitedLong = m_sinceUrl.elapsed() >= (kNetworkTimeoutSeconds - 1) * 1000;
        SetStatus(StreamState::Failed, m_classifier.ReasonForError(*m_pendingFailure, waitedLong));
        m_pendingFailure.reset();
    }
}

void MpvPlayer::HandleEvent(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_LOG_MESSAGE:
        m_classifier.NoteLogLine(QString::fromUtf8(static_cast<mpv_event_log_message*>(event.data)->text));
        break;
    case MPV_EVENT_PROPERTY_CHANGE:
        HandlePropertyChange(*static_cast<mpv_event_property*>(event.data));
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        // The first picture (or, for radio-like streams, sound) is out.
        m_sawFirstFrame = true;
        m_firstFrameDeadline.stop();
        SetStatus(m_paused ? StreamState::Paused : StreamState::Playing);
        break;
    case MPV_EVENT_END_FILE:
        HandleEndOfFile(event);
        break;
    case MPV_EVENT_NONE:
    case MPV_EVENT_SHUTDOWN:
    case MPV_EVENT_GET_PROPERTY_REPLY:
    case MPV_EVENT_SET_PROPERTY_REPLY:
    case MPV_EVENT_COMMAND_REPLY:
    case MPV_EVENT_START_FILE:
    case MPV_EVENT_FILE_LOADED:
    case MPV_EVENT_IDLE:
    case MPV_EVENT_TICK:
    case MPV_EVENT_CLIENT_MESSAGE:
    case MPV_EVENT_VIDEO_RECONFIG:
    case MPV_EVENT_AUDIO_RECONFIG:
    case MPV_EVENT_SEEK:
    case MPV_EVENT_QUEUE_OVERFLOW:
    case MPV_EVENT_HOOK:
        break;
    }
}

void MpvPlayer::HandlePropertyChange(const mpv_event_property& property)
{
    const bool hasValue = property.format != MPV_FORMAT_NONE && property.data != nullptr;
    const auto flag = [&] { return hasValue && *static_cast<int*>(property.data) != 0; };
    const auto integer = [&] { return hasValue ? *static_cast<std::int64_t*>(property.data) : 0; };
    const auto real = [&] { return hasValue ? *static_cast<double*>(property.data) : 0.0; };

    const QByteArray name(property.name);
    if (name == names::kPause) {
        m_paused = flag();
        const bool streamRuns = m_status.state == StreamState::Connecting || m_status.state == StreamState::Buffering ||
                                m_status.state == StreamState::Playing || m_status.state == StreamState::Paused;
        m_bar->ShowPlaying(streamRuns && !m_paused);
        if (m_sawFirstFrame && (m_status.state == StreamState::Playing || m_status.state == StreamState::Paused))
            SetStatus(m_paused ? StreamState::Paused : StreamState::Playing);
    } else if (name == names::kMute) {
        m_muted = flag();
        m_bar->ShowMuted(m_muted);
    } else if (name == names::kVolume) {
        m_volume = static_cast<int>(real() + 0.5);
        m_bar->ShowVolume(m_volume);
    } else if (name == names::kPausedForCache) {
        m_pausedForCache = flag();
        // Only a stream that is playing can run dry; after its end the
        // property merely goes away.
        const bool running = m_status.state == StreamState::Playing || m_status.state == StreamState::Buffering;
        if (m_sawFirstFrame && running) {
            SetStatus(m_pausedForCache ? StreamState::Buffering : StreamState::Playing);
            if (m_pausedForCache)
                m_stallDeadline.start();
        }
        if (!m_pausedForCache)
            m_stallDeadline.stop();
    } else if (name == names::kCacheBufferingState) {
        const auto percent = static_cast<int>(integer());
        const bool waiting = m_status.state == StreamState::Connecting || m_status.state == StreamState::Buffering;
        if (waiting && percent < 100) {
            m_status.bufferingPercent = percent;
            SetStatus(StreamState::Buffering);
        }
    } else if (name == names::kTimePos) {
        m_timePosition = real();
    } else if (name == names::kVideoWidth) {
        m_videoSize.setWidth(static_cast<int>(integer()));
    } else if (name == names::kVideoHeight) {
        m_videoSize.setHeight(static_cast<int>(integer()));
    }
}

void MpvPlayer::HandleEndOfFile(const mpv_event& event)
{
    const auto* end = static_cast<const mpv_event_end_file*>(event.data);
    switch (end->reason) {
    case MPV_END_FILE_REASON_ERROR:
        m_firstFrameDeadline.stop();
        m_stallDeadline.stop();
        m_pendingFailure = QString::fromUtf8(mpv_error_string(end->error));
        break;
    case MPV_END_FILE_REASON_EOF:
        m_firstFrameDeadline.stop();
        m_stallDeadline.stop();
        if (m_status.state == StreamState::Failed)
            break;
        // A live channel that ends has been cut off; one that ends before its
        // first picture held nothing playable.
        if (m_sawFirstFrame)
            SetStatus(StreamState::Ended);
        else
            m_pendingFailure = QStringLiteral("no picture or sound");
        break;
    case MPV_END_FILE_REASON_STOP:
    case MPV_END_FILE_REASON_QUIT:
    case MPV_END_FILE_REASON_REDIRECT:
        // Our own stop or a channel change: the status already says what follows.
        break;
    }
}

void MpvPlayer::SetEnableContextMenu(bool)
{
    // The player has no menu of its own: right-clicks always reach the main
    // window, whose context menu is the only one.
}

void MpvPlayer::SetFlag(const char* name, bool value)
{
    int flag = value ? 1 : 0;
    mpv_set_property_async(m_mpv.get(), 0, name, MPV_FORMAT_FLAG, &flag);
}

void MpvPlayer::SetMute(bool muted)
{
    m_muted = muted;
    m_bar->ShowMuted(muted);
    SetFlag(names::kMute, muted);
}

void MpvPlayer::SetVolume(int volume)
{
    m_volume = std::clamp(volume, 0, 100);
    m_bar->ShowVolume(m_volume);
    double value = m_volume;
    mpv_set_property_async(m_mpv.get(), 0, names::kVolume, MPV_FORMAT_DOUBLE, &value);
}

void MpvPlayer::SetUiMode(const QString& mode)
{
    m_barWanted = mode != QStringLiteral("none");
    UpdateBarVisibility();
}

void MpvPlayer::UpdateBarVisibility()
{
    m_bar->setVisible(m_barWanted && !m_fullScreen);
}

void MpvPlayer::SetStretchToFit(bool stretch)
{
    SetFlag(names::kVideoUnscaled, !stretch);
}

void MpvPlayer::SetFullScreen(bool fullScreen)
{
    if (!fullScreen) {
        LeaveFullScreen();
        return;
    }
    if (m_fullScreen)
        return;
    QWidget* top = window();
    m_windowStateBeforeFullScreen = top->windowState();
    m_fullScreen = true;
    m_leaveFullScreen->setEnabled(true);
    UpdateBarVisibility();
    emit fullScreenChanged(true);
    top->setWindowState(m_windowStateBeforeFullScreen | Qt::WindowFullScreen);
}

void MpvPlayer::LeaveFullScreen()
{
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    m_leaveFullScreen->setEnabled(false);
    window()->setWindowState(m_windowStateBeforeFullScreen & ~Qt::WindowFullScreen);
    UpdateBarVisibility();
    emit fullScreenChanged(false);
}

void MpvPlayer::Stop()
{
    m_firstFrameDeadline.stop();
    m_stallDeadline.stop();
    m_loadWaitsForRenderContext = false;
    const char* stop[] = {names::kStop, nullptr};
    mpv_command_async(m_mpv.get(), 0, stop);
    SetStatus(StreamState::Stopped);
}

void MpvPlayer::SetUrl(const QString& url)
{
    m_url = url;
    m_sinceUrl.start();
    m_pendingFailure.reset();
    m_classifier.Reset();
    m_sawFirstFrame = false;
    m_stallDeadline.stop();
    m_status.bufferingPercent = 0;
    SetStatus(StreamState::Connecting);
    m_firstFrameDeadline.start();
    // The picture needs the render context before the file is opened, or mpv
    // plays it without video; it exists once the widget has been shown.
    if (m_video != nullptr && !m_video->hasRenderContext() && !m_videoUnavailable) {
        m_loadWaitsForRenderContext = true;
        return;
    }
    LoadCurrentUrl();
}

void MpvPlayer::LoadCurrentUrl()
{
    m_loadWaitsForRenderContext = false;
    const auto known = m_playTarget.constFind(m_url);
    if (known != m_playTarget.constEnd()) {
        Load(*known);
        return;
    }
    // Start the engine on the address at once; if it turns out to be an HLS
    // master playlist, switch to the chosen variant as soon as we know it.
    Load(m_url);
    ResolveHlsVariant();
}

void MpvPlayer::Load(const QString& url)
{
    const QByteArray utf8 = url.toUtf8();
    const char* command[] = {names::kLoadFile, utf8.constData(), "replace", nullptr};
    mpv_command_async(m_mpv.get(), 0, command);
}

void MpvPlayer::ResolveHlsVariant()
{
    if (m_playlistRequest)
        m_playlistRequest->abort();
    const QUrl url(m_url);
    const bool http = url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https");
    if (!http || !url.path().endsWith(QStringLiteral(".m3u8"), Qt::CaseInsensitive))
        return;
    if (m_network == nullptr)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setTransferTimeout(kPlaylistTimeoutMs);
    QNetworkReply* reply = m_network->get(request);
    m_playlistRequest = reply;
    const QString requested = m_url;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxPlaylistBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, requested] { OnPlaylistFetched(reply, requested); });
}

void MpvPlayer::OnPlaylistFetched(QNetworkReply* reply, const QString& requested)
{
    reply->deleteLater();
    // Too late or in vain: another channel was chosen, the picture is already
    // there, or the answer was not a playlist. The engine carries on alone.
    if (requested != m_url || m_sawFirstFrame || reply->error() != QNetworkReply::NoError)
        return;
    const std::optional<QUrl> variant = ChooseHlsVariant(reply->read(kMaxPlaylistBytes), reply->url());
    if (m_playTarget.size() >= kMaxRememberedAddresses)
        m_playTarget.clear();
    m_playTarget.insert(requested, variant ? variant->toString() : requested);
    if (variant && m_status.state != StreamState::Failed)
        Load(variant->toString());
}

void MpvPlayer::Close()
{
    Stop();
    m_url.clear();
    SetStatus(StreamState::Idle);
}

void MpvPlayer::OnFirstFrameDeadline()
{
    if (m_sawFirstFrame)
        return;
    const char* stop[] = {names::kStop, nullptr};
    mpv_command_async(m_mpv.get(), 0, stop);
    SetStatus(StreamState::Failed, m_classifier.ReasonForTimeout(m_options.firstFrameDeadlineSeconds));
}

void MpvPlayer::OnStallDeadline()
{
    if (!m_pausedForCache || m_status.state == StreamState::Failed)
        return;
    const char* stop[] = {names::kStop, nullptr};
    mpv_command_async(m_mpv.get(), 0, stop);
    SetStatus(StreamState::Failed,
              QStringLiteral("the stream stalled: no data for %1 seconds").arg(m_options.stallDeadlineSeconds));
}

void MpvPlayer::TogglePlayPause()
{
    const bool nothingRuns = m_status.state == StreamState::Stopped || m_status.state == StreamState::Failed ||
                             m_status.state == StreamState::Ended;
    if (nothingRuns && !m_url.isEmpty()) {
        SetUrl(m_url);
        return;
    }
    SetFlag(names::kPause, !m_paused);
}

void MpvPlayer::SetStatus(StreamState state, const QString& failureReason)
{
    m_status.state = state;
    m_status.failureReason = failureReason;
    m_bar->ShowStatus(StatusText(m_status));
    m_bar->ShowPlaying(state == StreamState::Playing || state == StreamState::Buffering ||
                       state == StreamState::Connecting);
    emit statusChanged(m_status);
}

}  // namespace vantelo
