#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vantelo::test {

// A file's bytes, or nothing when it cannot be read.
inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes exactly these bytes; false when that failed.
inline bool WriteBytes(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace vantelo::test
