#pragma once

#include <cstdio>
#include <memory>

#include <QString>

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

// Opens <languagesRoot>/<language>/<fileName> for reading as raw bytes; an
// unsafe language name opens nothing.
FileHandle OpenPackFile(const QString& languagesRoot, const QString& language, const QString& fileName);

}  // namespace vantelo
