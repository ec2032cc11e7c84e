#pragma once

#include <QString>

class QWidget;

namespace vantelo {

// The player as the main window and the channel window drive it: exactly the
// calls they make, nothing more. The real player plays through libmpv; tests
// use a recording stand-in.
class PlayerControl {
public:
    virtual ~PlayerControl() = default;

    // The widget that shows the picture (and the player's own controls); the
    // main window lays it over its whole client area.
    virtual QWidget* widget() = 0;

    // The player shows no menu of its own, so right-clicks reach the main window.
    virtual void SetEnableContextMenu(bool enabled) = 0;
    virtual void SetMute(bool muted) = 0;
    virtual void SetVolume(int volume) = 0;  // 0-100
    // "mini": the compact control bar under the picture; "none": no bar.
    virtual void SetUiMode(const QString& mode) = 0;
    // Stretched: scaled to the widget keeping its aspect; else its own size.
    virtual void SetStretchToFit(bool stretch) = 0;
    // Leaving full screen is the player's own business (Esc, double-click).
    virtual void SetFullScreen(bool fullScreen) = 0;
    virtual void Stop() = 0;
    // Opens and plays the address at once.
    virtual void SetUrl(const QString& url) = 0;
    // Closes the stream before the player goes away.
    virtual void Close() = 0;

    virtual bool GetMute() const = 0;
    virtual int GetVolume() const = 0;
};

}  // namespace vantelo
