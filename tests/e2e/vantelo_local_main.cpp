// The real program, built with the test address table so that its channels
// play the local test streams. Used by the smoke test under Xvfb.

#include "app/vantelo_application.h"

namespace vantelo {
const AddressTable& TestAddressTable();
}

int main(int argc, char** argv)
{
    return vantelo::RunVantelo(argc, argv, &vantelo::TestAddressTable());
}
