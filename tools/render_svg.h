#pragma once

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace vantelo {

// Draws an SVG picture into a square image of size pixels on a transparent
// background. Shared by the build tools that turn our SVG sources into icons.
inline QImage RenderSvg(QSvgRenderer& renderer, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image;
}

}  // namespace vantelo
