#pragma once

#include <QString>

#include "catalogue/address_table.h"
#include "catalogue/channel_code.h"

namespace vantelo {

// Longest stream address handed to the player, in UTF-16 code units.
inline constexpr qsizetype kMaxAddressUnits = 259;
// Largest ciphertext a record may declare.
inline constexpr std::uint32_t kMaxRecordLength = 65536;

// Deciphers the stream address of a channel, without trailing white space.
// A code that names no entry of the table, a record longer than
// kMaxRecordLength, or an address longer than kMaxAddressUnits gives an empty
// text: nothing is ever read outside the table or the record.
QString DecodeChannelAddress(ChannelCode code, const AddressTable& table);

// The same, in the built-in table.
QString DecodeChannelAddress(ChannelCode code);

}  // namespace vantelo
