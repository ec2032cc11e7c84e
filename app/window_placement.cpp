#include "app/window_placement.h"

namespace vantelo {

WindowRect OuterRect(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void PlaceOuterRect(QWidget& window, const WindowRect& rect)
{
    // move() places the frame's corner; resize() sizes the inside, so the
    // frame's own thickness (known once the window manager has framed the
    // window, zero without one) comes off the stored size.
    const QRect frame = window.frameGeometry();
    const QRect inside = window.geometry();
    const int frameWidth = frame.width() - inside.width();
    const int frameHeight = frame.height() - inside.height();
    window.move(rect.x, rect.y);
    window.resize(std::max(rect.width - frameWidth, 0), std::max(rect.height - frameHeight, 0));
}

}  // namespace vantelo
