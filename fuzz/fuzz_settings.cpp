// libFuzzer target: the settings.mtr reader.
#include "appearance/core/SettingsFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quorvex;
    static const StoredSettings defaults = StoredSettings::defaults(0xF0F0F0, "/db/");
    const SettingsReadResult r =
        SettingsFile::parse(std::string_view(reinterpret_cast<const char *>(data), size), defaults);
    // What comes back must stay within the ranges the painter and the dialog rely on.
    for (const StoredColour &c : r.values.colours)
        if (c.entry < 0 || c.entry > 19 || c.colour > 0xFFFFFF)
            std::abort();
    if (r.values.lineWidth < StoredSettings::MinLineWidth || r.values.lineWidth > StoredSettings::MaxLineWidth ||
        r.values.quickSearchColumn < 1 || r.values.quickSearchColumn > StoredSettings::MaxQuickSearchColumn)
        std::abort();
    const std::size_t texts = r.values.fixedBackground.size() + r.values.oddBackground.size() +
                              r.values.evenBackground.size() + r.values.databaseFolder.size();
    if (texts > size + 16)
        std::abort();
    // A clean result writes back to the same bytes' meaning.
    if (!r.damaged && !(SettingsFile::parse(SettingsFile::format(r.values), defaults).values == r.values))
        std::abort();
    return 0;
}
