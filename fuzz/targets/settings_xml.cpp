// libFuzzer entry: Settings.xml through LoadSettings.
#include "fuzz/harness/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vantelo::fuzz::RunSettingsXml(data, size);
    return 0;
}
