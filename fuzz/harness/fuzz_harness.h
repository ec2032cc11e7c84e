#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/xml_file.h"

class TiXmlDocument;

namespace vantelo::fuzz {

// Each function runs one input through one reader, the way the program meets
// it: XML goes into a file in a scratch folder and the real reader opens it by
// path. They return normally on any input; a broken promise of the reader
// (a list length, a text limit, a fallback rule) prints what broke and aborts,
// so that libFuzzer and the replay test both report it.

// Languages/<pack>/Main.xml through LoadLanguage, with a good English pack to
// fall back on.
void RunMainXml(const std::uint8_t* data, std::size_t size);

// Languages/<pack>/Channels.xml through LoadChannels, likewise.
void RunChannelsXml(const std::uint8_t* data, std::size_t size);

// Settings.xml through LoadSettings.
void RunSettingsXml(const std::uint8_t* data, std::size_t size);

// Favorites.xml through LoadFavorites.
void RunFavoritesXml(const std::uint8_t* data, std::size_t size);

// The first four bytes are a channel code (little-endian), decoded in the
// built-in table; the rest is one address record (a 4-byte length, then
// ciphertext) decoded through a table that holds it at every table's first
// three positions.
void RunChannelAddress(const std::uint8_t* data, std::size_t size);

// The nesting guard against TinyXML itself: parses the input without the guard
// and checks that the pre-scan never counts less nesting or fewer attributes
// than the parser really built (and exactly as many when it parsed cleanly).
// Inputs must be small enough for the unguarded parse: libFuzzer's default of
// 4096 bytes nests at most 1366 levels.
void RunXmlShape(const std::uint8_t* data, std::size_t size);

// The deepest element and the most attributes of one element that the parser
// built, walked without recursion; a document that failed half-way holds what
// was built until then.
XmlShape BuiltShape(const TiXmlDocument& document);

}  // namespace vantelo::fuzz
