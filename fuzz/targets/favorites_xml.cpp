// libFuzzer entry: Favorites.xml through LoadFavorites.
#include "fuzz/harness/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vantelo::fuzz::RunFavoritesXml(data, size);
    return 0;
}
