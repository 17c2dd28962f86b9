#pragma once

#include "SettingsFile.h"
#include "document/core/GridAppearance.h"

#include <array>
#include <string>
#include <vector>

namespace quorvex {

// Everything the settings window changes, as it was when the window opened:
// Cancel puts exactly these back.
struct SettingsSnapshot {
    std::array<std::string, 8> headers;
    GridAppearance appearance;
    int quickSearchColumn = 2;
    bool showSplash = true;
    std::string databaseFolder;
};

// The settings window's logic that needs no window.
class SettingsModel {
public:
    static constexpr int HeaderEdits = 8;
    static constexpr const char *BackgroundsFolder = "Backgrounds/Rows/";

    // The ten colours in the order of the settings file.
    static std::array<GridColor *, StoredSettings::ColourCount> colours(GridAppearance &a);
    static std::array<const GridColor *, StoredSettings::ColourCount> colours(const GridAppearance &a);

    // The header texts the header tab's Default button gives a list of this
    // type; columns 1 and 2 keep `current` for a type without its own names.
    static std::array<std::string, 8> defaultHeaders(const std::string &listType,
                                                     const std::array<std::string, 8> &current);

    // A file of the backgrounds folder is listed when its extension (from the
    // last dot, any case) is .jpg, .jpeg, .bmp or .gif.
    static bool isBackgroundFile(const std::string &name);
    // The picture names of `folder` in the order the file system gives them;
    // empty when the folder is missing.
    static std::vector<std::string> listBackgrounds(const std::string &folder);
    // The list index of `name`, ignoring case; 0 for "none"; -1 when absent.
    static int findBackground(const std::vector<std::string> &names, const std::string &name);

    // The line width an edit's text or a stored value may give the grid.
    static int clampLineWidth(long long width) { return StoredSettings::clampLineWidth(width); }

    static StoredSettings toStored(const GridAppearance &a, int quickSearchColumn, bool showSplash,
                                   const std::string &databaseFolder);
    // Takes the valid fields of a read into the look; the others stay.
    static void applyColours(const SettingsReadResult &read, GridAppearance &a);
};

} // namespace quorvex
