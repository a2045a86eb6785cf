// A settings file may be damaged or hand-edited: reading must never fail, and whatever was
// read must come back unchanged after the store has written it.
#include "core/settings/IniSettingsStore.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const IniSettingsStore::Sections read = IniSettingsStore::Parse(text);
    if (IniSettingsStore::Parse(IniSettingsStore::Format(read)) != read)
        std::abort();
    return 0;
}
