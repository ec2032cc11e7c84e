#include "platform/svg_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace vantelo {

QIcon SvgIcon(const QString& path, int logicalSize)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(logicalSize * scale, logicalSize * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace vantelo
