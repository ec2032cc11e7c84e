// libFuzzer entry: Languages/<pack>/Main.xml through LoadLanguage.
#include "fuzz/harness/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vantelo::fuzz::RunMainXml(data, size);
    return 0;
}
