// Writes the seed corpus of the settings reader with the settings writer.
//   make_settings_corpus CORPUS_FOLDER

#include "appearance/core/SettingsFile.h"
#include "platform/core/FileSystem.h"

#include <cstdio>
#include <string>

using namespace quorvex;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_settings_corpus CORPUS_FOLDER\n");
        return 2;
    }
    const std::string out = FileSystem::withTrailingSlash(argv[1]);
    StoredSettings plain = StoredSettings::defaults(0xF0F0F0, "/home/ann/.local/share/Quorvex/Database/");
    StoredSettings custom = plain;
    custom.colours[StoredSettings::Fixed] = {19, 10 + 20 * 256 + 30 * 65536};
    custom.fixedBackground = "Clouds001.jpg";
    custom.oddBackground = "My Clouds.jpg";
    custom.evenBackground = "";
    custom.lineWidth = -3;
    custom.quickSearchColumn = 12;
    custom.showSplash = false;
    custom.databaseFolder = "";
    bool ok = FileSystem::writeFileAtomic(out + "defaults", SettingsFile::format(plain));
    ok &= FileSystem::writeFileAtomic(out + "custom", SettingsFile::format(custom));
    return ok ? 0 : 1;
}
