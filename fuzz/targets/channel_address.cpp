// libFuzzer entry: DecodeChannelAddress with any code and any address record.
#include "fuzz/harness/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vantelo::fuzz::RunChannelAddress(data, size);
    return 0;
}
