// libFuzzer entry: Languages/<pack>/Channels.xml through LoadChannels.
#include "fuzz/harness/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vantelo::fuzz::RunChannelsXml(data, size);
    return 0;
}
