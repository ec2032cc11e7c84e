#pragma once

#include <cstdio>
#include <memory>

#include <QString>

#include "platform/xml_file.h"

class TiXmlDocument;

namespace vantelo {

// Packs are found under this folder, relative to the current directory.
inline const QString kLanguagesFolder = QStringLiteral("Languages");
inline const QString kFallbackLanguage = QStringLiteral("English");

// True when a language name can only mean one folder directly under Languages:
// not empty, not "." or "..", and without a path separator or a NUL. Names come
// from Settings.xml and may have been edited by anyone.
bool IsPlainFolderName(const QString& name);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens <languagesRoot>/<language>/<fileName> for reading as raw bytes. Nothing
// outside the pack's own folder is ever opened: an unsafe language name, a pack
// folder that is a symbolic link and a pack file that is one all open nothing,
// and so does a pack file that is not a regular file or is larger than
// kMaxXmlFileBytes. The Languages folder itself may be a link.
FileHandle OpenPackFile(const QString& languagesRoot, const QString& language, const QString& fileName);

// Opens the pack file as OpenPackFile() does and parses it within the bounds of
// platform/xml_file.h. Anything but XmlReadResult::Parsed means the file is to
// be treated as missing.
XmlReadResult LoadPackFile(const QString& languagesRoot, const QString& language, const QString& fileName,
                           TiXmlDocument& document);

}  // namespace vantelo
