#pragma once

#include <QRect>

namespace vantelo {

// Where the channel window's controls go for a client area of cx by cy
// pixels. The tree and the favourites list share one rectangle, whose top lies
// inside the tab strip so that the visible view covers the strip's lower part.
struct ChannelWindowLayout {
    QRect tabs;
    QRect views;  // tree and favourites list
    QRect description;
    QRect playBar;
    QRect favoritesBar;
};

// playBarWidth: the play button's width; favoritesBarWidth: four times the
// width of one favourites button.
ChannelWindowLayout LayOutChannelWindow(int cx, int cy, int playBarWidth, int favoritesBarWidth);

}  // namespace vantelo
