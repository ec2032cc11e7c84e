#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace vantelo::test {

// A throw-away Languages folder in which a test writes the packs it needs.
class LanguageFolder {
public:
    QString root() const { return m_dir.path() + QStringLiteral("/Languages"); }

    void write(const QString& language, const QString& fileName, const QByteArray& content) const
    {
        const QString folder = root() + QLatin1Char('/') + language;
        QDir().mkpath(folder);
        QFile file(folder + QLatin1Char('/') + fileName);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }

private:
    QTemporaryDir m_dir;
};

}  // namespace vantelo::test
