#include "lang/language_pack.h"

#include <fcntl.h>

#include <QFile>

#include "platform/bounded_file.h"

namespace vantelo {
namespace {

// Each step below the Languages folder is opened relative to the one before,
// refusing a symbolic link, so that a link planted in a pack (or a pack folder
// that is a link) cannot make the program read a file from elsewhere; the
// checks of the name and the open are one step, with no window in between.
UniqueFd OpenPackDescriptor(const QString& languagesRoot, const QString& language, const QString& fileName)
{
    if (!IsPlainFolderName(language) || !IsPlainFolderName(fileName))
        return UniqueFd();
    const UniqueFd root(open(QFile::encodeName(languagesRoot).constData(), O_RDONLY | O_CLOEXEC | O_DIRECTORY));
    const UniqueFd pack = OpenBeneath(root.get(), QFile::encodeName(language), true);
    return OpenBeneath(pack.get(), QFile::encodeName(fileName), false);
}

}  // namespace

bool IsPlainFolderName(const QString& name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(u'\0'));
}

FileHandle OpenPackFile(const QString& languagesRoot, const QString& language, const QString& fileName)
{
    UniqueFd file = OpenPackDescriptor(languagesRoot, language, fileName);
    // Checked before handing the file over, so that a caller reading it whole
    // never reads a device or a huge file.
    if (!file.valid() || CheckBoundedFile(file.get(), kMaxXmlFileBytes) != FileRefusal::None)
        return nullptr;
    std::FILE* stream = fdopen(file.get(), "rb");
    if (stream == nullptr)
        return nullptr;
    file.release();
    return FileHandle(stream);
}

XmlReadResult LoadPackFile(const QString& languagesRoot, const QString& language, const QString& fileName,
                           TiXmlDocument& document)
{
    const UniqueFd file = OpenPackDescriptor(languagesRoot, language, fileName);
    if (!file.valid())
        return XmlReadResult::CannotOpen;
    return ReadXmlFile(file.get(), document, languagesRoot + QLatin1Char('/') + language + QLatin1Char('/') + fileName);
}

}  // namespace vantelo
