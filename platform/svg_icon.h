#pragma once

#include <QIcon>
#include <QString>

namespace vantelo {

// Renders an SVG picture into an icon of the given size in logical pixels,
// drawn at 1x and 2x so that it stays crisp on high-density screens. A missing
// or unreadable file gives a null icon.
QIcon SvgIcon(const QString& path, int logicalSize);

}  // namespace vantelo
