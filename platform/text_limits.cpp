#include "platform/text_limits.h"

namespace vantelo {

QString LimitUtf16(const QString& text, qsizetype maxUnits)
{
    if (text.size() <= maxUnits)
        return text;
    qsizetype cut = maxUnits;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate())
        --cut;
    return text.left(cut);
}

QString FromUtf8Limited(const char* utf8, qsizetype maxUnits)
{
    if (utf8 == nullptr)
        return {};
    return LimitUtf16(QString::fromUtf8(utf8), maxUnits);
}

QByteArray ToUtf8Limited(const QString& text, qsizetype maxBytes)
{
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= maxBytes)
        return utf8;
    qsizetype cut = maxBytes;
    // Step back over continuation bytes so the cut falls between characters.
    while (cut > 0 && (static_cast<unsigned char>(utf8.at(cut)) & 0xC0) == 0x80)
        --cut;
    return utf8.left(cut);
}

}  // namespace vantelo
