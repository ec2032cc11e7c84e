#pragma once

#include "catalogue/address_table.h"

namespace vantelo {

// Runs the program: the main window, its channel window and the player, until
// the main window closes. addressTable: the stream addresses to play, the
// built-in table when nullptr (the end-to-end tests play local streams).
int RunVantelo(int& argc, char** argv, const AddressTable* addressTable = nullptr);

}  // namespace vantelo
