#pragma once

#include <QWidget>

#include "app/settings_record.h"

namespace vantelo {

// Stored window rectangles are outer rectangles (frame included), in screen
// pixels. Placing and reading them must round-trip exactly, with or without a
// window manager, so that a start and a close change nothing.
WindowRect OuterRect(const QWidget& window);
void PlaceOuterRect(QWidget& window, const WindowRect& rect);

}  // namespace vantelo
