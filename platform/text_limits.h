#pragma once

#include <QString>

namespace vantelo {

// Cuts text to at most maxUnits UTF-16 code units without splitting a surrogate
// pair. The file formats keep the old fixed buffer sizes as limits.
QString LimitUtf16(const QString& text, qsizetype maxUnits);

// Converts UTF-8 to text and cuts it as LimitUtf16 does.
QString FromUtf8Limited(const char* utf8, qsizetype maxUnits);

// Converts text to UTF-8 of at most maxBytes bytes, never splitting a character.
QByteArray ToUtf8Limited(const QString& text, qsizetype maxBytes);

}  // namespace vantelo
