#pragma once

#include <QString>

#include "lang/language_pack.h"
#include "lang/language_texts.h"
#include "platform/prompter.h"

namespace vantelo {

// Appends the texts of <languagesRoot>/<language>/Main.xml to texts. When that
// file cannot be opened or does not parse (or the name is not a plain folder
// name), warns through the prompter, sets language to English and reads the
// English pack instead. Returns false only when the English pack cannot be read
// either; nothing has then been appended.
bool LoadLanguage(QString& language, LanguageTexts& texts, Prompter& prompter,
                  const QString& languagesRoot = kLanguagesFolder);

// The warning shown before falling back to English.
QString LanguageFallbackMessage(const QString& language);

}  // namespace vantelo
