#pragma once

#include <cstdint>

#include <QString>

namespace vantelo {

struct WindowRect {
    int x;
    int y;
    int width;
    int height;

    bool operator==(const WindowRect&) const = default;
};

// The options kept in Settings.xml. The defaults are the first-start values.
struct SettingsRecord {
    WindowRect mainWindowPos{298, 161, 550, 471};
    WindowRect channelWindowPos{10, 10, 219, 484};
    QString language = QStringLiteral("English");
    std::int32_t hideControl = 0;  // booleans: any non-zero value counts as set
    std::int32_t hideMenu = 0;
    std::int32_t muteSound = 0;      // 0, or -1 when muted
    std::int32_t volumeSound = 100;  // 0-100
    std::int32_t alwaysOnTop = 0;
    std::int32_t originalSize = 0;

    bool operator==(const SettingsRecord&) const = default;
};

}  // namespace vantelo
