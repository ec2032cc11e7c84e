#pragma once

#include <QString>

#include "browser/favorites_lists.h"

namespace vantelo {

// Longest favourite name kept: in UTF-8 bytes when written, in UTF-16 units when read.
inline constexpr qsizetype kMaxFavoriteNameBytes = 255;
inline constexpr qsizetype kMaxFavoriteNameUnits = 255;

// Appends the favourites of Favorites.xml to the lists: every child element of
// the root, whatever its names, from the first child on. A root whose first
// child is a comment or text holds no favourites. Nothing is validated; a
// missing number counts as 0. Returns false, leaving the lists untouched, when
// the file cannot be opened or does not parse.
bool LoadFavorites(const QString& path, FavoritesLists& lists);

// Writes the lists to path, replacing the old file in one step. An old file
// that LoadFavorites cannot read is kept as <path>.unreadable. Returns false,
// with the old file untouched, when the new one cannot be written; the folder
// must exist. Lists of different lengths raise InvalidArgumentError before
// anything is written.
bool SaveFavorites(const QString& path, const FavoritesLists& lists);

}  // namespace vantelo
