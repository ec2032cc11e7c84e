#pragma once

#include <QWidget>

class QLabel;
class QSlider;
class QToolButton;

namespace vantelo {

// The compact bar under the picture in "mini" mode: play/pause, stop, mute,
// volume, full screen, and a status line saying what the stream is doing.
class PlayerControlBar final : public QWidget {
    Q_OBJECT
public:
    explicit PlayerControlBar(QWidget* parent);

    void ShowPlaying(bool playing);
    void ShowMuted(bool muted);
    void ShowVolume(int volume);
    void ShowStatus(const QString& text);
    QString statusText() const;

signals:
    void playPauseClicked();
    void stopClicked();
    void muteClicked();
    void volumeMoved(int volume);
    void fullScreenClicked();

private:
    QToolButton* m_playPause;
    QToolButton* m_stop;
    QToolButton* m_mute;
    QSlider* m_volume;
    QToolButton* m_fullScreen;
    QLabel* m_status;
};

}  // namespace vantelo
