#pragma once

#include <QFontMetrics>
#include <QRect>

namespace vantelo {

// Dialog layouts are given in dialog units, which scale with the dialog's
// font: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics& metrics);

    int x(int units) const { return units * m_baseWidth / 4; }
    int y(int units) const { return units * m_baseHeight / 8; }
    QRect rect(int left, int top, int width, int height) const
    {
        return QRect(x(left), y(top), x(left + width) - x(left), y(top + height) - y(top));
    }
    QSize size(int width, int height) const { return QSize(x(width), y(height)); }

private:
    int m_baseWidth;
    int m_baseHeight;
};

}  // namespace vantelo
