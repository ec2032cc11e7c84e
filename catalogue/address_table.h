#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "catalogue/channel_code.h"

namespace vantelo {

// One sub-table per catalogue table: entry i points at the address record of
// channel i. A record is a 4-byte little-endian length L followed by L bytes of
// ciphertext; the plaintext is the UTF-8 address, a zero byte and zero filler up
// to a multiple of 8. Entries with the same address share one record.
struct AddressSubTable {
    const std::uint8_t* const* records;
    std::size_t count;
};

struct AddressTable {
    std::array<AddressSubTable, kTableCount> subTables;
};

// The built-in table, generated at build time from catalogue/channels.tsv.
const AddressTable& CatalogueAddressTable();

}  // namespace vantelo
