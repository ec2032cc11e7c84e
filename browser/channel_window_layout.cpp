#include "browser/channel_window_layout.h"

namespace vantelo {

ChannelWindowLayout LayOutChannelWindow(int cx, int cy, int playBarWidth, int favoritesBarWidth)
{
    ChannelWindowLayout layout;
    layout.tabs = QRect(2, 4, cx - 4, 30);
    layout.views = QRect(2, 25, cx - 4, cy - 130);
    layout.description = QRect(2, cy - 103, cx - 4, 70);
    // The play bar ends at the right edge; the favourites bar meets it.
    layout.playBar = QRect(cx - playBarWidth - 2, cy - 32, playBarWidth + 2, 30);
    layout.favoritesBar = QRect(cx - playBarWidth - favoritesBarWidth - 2, cy - 32, favoritesBarWidth, 30);
    return layout;
}

}  // namespace vantelo
