#include "lang/language_pack.h"

#include <QFile>

namespace vantelo {

bool IsPlainFolderName(const QString& name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(u'\0'));
}

FileHandle OpenPackFile(const QString& languagesRoot, const QString& language, const QString& fileName)
{
    if (!IsPlainFolderName(language))
        return nullptr;
    const QString path = languagesRoot + QLatin1Char('/') + language + QLatin1Char('/') + fileName;
    return FileHandle(std::fopen(QFile::encodeName(path).constData(), "rb"));
}

}  // namespace vantelo
