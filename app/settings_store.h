#pragma once

#include <QString>

#include "app/settings_record.h"

namespace vantelo {

// Longest language name kept: in UTF-8 bytes when written, in UTF-16 units when read.
inline constexpr qsizetype kMaxSettingsLanguageBytes = 255;
inline constexpr qsizetype kMaxSettingsLanguageUnits = 255;

// Reads Settings.xml leniently: the root's first nine child elements are taken
// by position whatever their names, a missing number counts as 0 and a missing
// language name as English. Returns false, leaving the record untouched, when
// the file cannot be opened, does not parse or has fewer than nine elements.
bool LoadSettings(const QString& path, SettingsRecord& record);

// Writes the record to path, replacing the old file in one step. An old file
// that LoadSettings cannot read is kept as <path>.unreadable. Returns false,
// with the old file untouched, when the new one cannot be written; the folder
// must exist.
bool SaveSettings(const QString& path, const SettingsRecord& record);

}  // namespace vantelo
