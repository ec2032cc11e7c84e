#include "platform/player_control_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

namespace vantelo {
namespace {

QToolButton* MakeButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& tip, const char* name)
{
    auto* button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);  // keys stay with the main window
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

PlayerControlBar::PlayerControlBar(QWidget* parent)
    : QWidget(parent),
      m_playPause(MakeButton(this, QStyle::SP_MediaPlay, QStringLiteral("Play"), "playPause")),
      m_stop(MakeButton(this, QStyle::SP_MediaStop, QStringLiteral("Stop"), "stop")),
      m_mute(MakeButton(this, QStyle::SP_MediaVolume, QStringLiteral("Mute"), "mute")),
      m_volume(new QSlider(Qt::Horizontal, this)),
      m_fullScreen(MakeButton(this, QStyle::SP_TitleBarMaxButton, QStringLiteral("Full screen"), "fullScreen")),
      m_status(new QLabel(this))
{
    m_volume->setRange(0, 100);
    m_volume->setFixedWidth(80);
    m_volume->setFocusPolicy(Qt::NoFocus);
    m_volume->setToolTip(QStringLiteral("Volume"));
    m_volume->setObjectName(QStringLiteral("volume"));
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextInteractionFlags(Qt::NoTextInteraction);
    m_status->setMinimumWidth(0);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(2);
    layout->addWidget(m_playPause);
    layout->addWidget(m_stop);
    layout->addWidget(m_mute);
    layout->addWidget(m_volume);
    layout->addWidget(m_status, 1);
    layout->addWidget(m_fullScreen);

    connect(m_playPause, &QToolButton::clicked, this, &PlayerControlBar::playPauseClicked);
    connect(m_stop, &QToolButton::clicked, this, &PlayerControlBar::stopClicked);
    connect(m_mute, &QToolButton::clicked, this, &PlayerControlBar::muteClicked);
    connect(m_volume, &QSlider::valueChanged, this, &PlayerControlBar::volumeMoved);
    connect(m_fullScreen, &QToolButton::clicked, this, &PlayerControlBar::fullScreenClicked);
}

void PlayerControlBar::ShowPlaying(bool playing)
{
    m_playPause->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_playPause->setToolTip(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

void PlayerControlBar::ShowMuted(bool muted)
{
    m_mute->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    m_mute->setToolTip(muted ? QStringLiteral("Sound on") : QStringLiteral("Mute"));
}

void PlayerControlBar::ShowVolume(int volume)
{
    // The engine reports what we set; do not echo it back as a new request.
    const QSignalBlocker blocker(m_volume);
    m_volume->setValue(volume);
}

void PlayerControlBar::ShowStatus(const QString& text)
{
    m_status->setText(text);
    m_status->setToolTip(text);
}

QString PlayerControlBar::statusText() const
{
    return m_status->text();
}

}  // namespace vantelo
