#include "platform/dialog_units.h"

namespace vantelo {

DialogUnits::DialogUnits(const QFontMetrics& metrics)
{
    // The average width of the 52 letters, rounded, as dialog layouts expect.
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseWidth = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    m_baseHeight = metrics.height();
}

}  // namespace vantelo
