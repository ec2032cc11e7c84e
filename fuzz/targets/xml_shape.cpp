// libFuzzer entry: the nesting pre-scan checked against TinyXML.
#include "fuzz/harness/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vantelo::fuzz::RunXmlShape(data, size);
    return 0;
}
