#include "SettingsModel.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>

namespace quorvex {

namespace {

std::string lowered(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::array<GridColor *, StoredSettings::ColourCount> SettingsModel::colours(GridAppearance &a)
{
    return {&a.fixedColor,   &a.fixedFontColor, &a.oddRowColor,   &a.oddFontColor,      &a.evenRowColor,
            &a.evenFontColor, &a.selectedColor, &a.selectedFontColor, &a.fixedLineColor, &a.gridLineColor};
}

std::array<const GridColor *, StoredSettings::ColourCount> SettingsModel::colours(const GridAppearance &a)
{
    auto c = colours(const_cast<GridAppearance &>(a));
    std::array<const GridColor *, StoredSettings::ColourCount> out{};
    std::copy(c.begin(), c.end(), out.begin());
    return out;
}

std::array<std::string, 8> SettingsModel::defaultHeaders(const std::string &listType,
                                                         const std::array<std::string, 8> &current)
{
    static const std::array<std::string, 6> movie{"Genre", "Main Actor", "Duration", "Year", "Quality",
                                                  "Description / Plot Summary"};
    static const std::array<std::string, 6> music{"Genre", "Artist / Group", "Duration", "Year", "Quality",
                                                  "Comment"};
    struct Named {
        const char *type, *first, *second;
        bool isMovie;
    };
    static const Named named[] = {
        {"vhsmovie", "Tape#", "Movie Title", true},       {"dvdmovie", "DVD #", "Movie Title", true},
        {"vcdmovie", "VCD #", "Movie Title", true},       {"svcdmovie", "SVCD#", "Movie Title", true},
        {"bdmovie", "BD #", "Movie Title", true},         {"cdmusic", "CD #", "CD Title", false},
        {"cassettemusic", "Tape#", "Cassette Title", false}, {"recordmusic", "Rec #", "Record Title", false},
        {"8trackmusic", "Tape#", "Eight Track Title", false},
    };
    std::array<std::string, 8> out = current;
    const std::array<std::string, 6> *rest = &music;
    for (const Named &n : named)
        if (listType == n.type) {
            out[0] = n.first;
            out[1] = n.second;
            rest = n.isMovie ? &movie : &music;
        }
    std::copy(rest->begin(), rest->end(), out.begin() + 2);
    return out;
}

bool SettingsModel::isBackgroundFile(const std::string &name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const std::string ext = lowered(name.substr(dot));
    return ext == ".jpg" || ext == ".jpeg" || ext == ".bmp" || ext == ".gif";
}

std::vector<std::string> SettingsModel::listBackgrounds(const std::string &folder)
{
    std::vector<std::string> names;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && isBackgroundFile(name))
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

int SettingsModel::findBackground(const std::vector<std::string> &names, const std::string &name)
{
    if (name == "none")
        return 0;
    const std::string wanted = lowered(name);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (lowered(names[i]) == wanted)
            return static_cast<int>(i) + 1;
    return -1;
}

StoredSettings SettingsModel::toStored(const GridAppearance &a, int quickSearchColumn, bool showSplash,
                                       const std::string &databaseFolder)
{
    StoredSettings s;
    const auto c = colours(a);
    for (int i = 0; i < StoredSettings::ColourCount; ++i)
        s.colours[static_cast<std::size_t>(i)] = {c[static_cast<std::size_t>(i)]->entry,
                                                  c[static_cast<std::size_t>(i)]->color};
    s.fixedBackground = a.fixedBackground;
    s.oddBackground = a.oddBackground;
    s.evenBackground = a.evenBackground;
    s.lineWidth = clampLineWidth(a.gridLineWidth);
    s.quickSearchColumn = quickSearchColumn;
    s.showSplash = showSplash;
    s.databaseFolder = databaseFolder;
    return s;
}

void SettingsModel::applyColours(const SettingsReadResult &read, GridAppearance &a)
{
    const auto c = colours(a);
    for (int i = 0; i < StoredSettings::ColourCount; ++i)
        if (read.isColourValid(i)) {
            const StoredColour &s = read.values.colours[static_cast<std::size_t>(i)];
            *c[static_cast<std::size_t>(i)] = {s.entry, s.colour};
        }
    if (read.isValid(SettingsField::LineWidth))
        a.gridLineWidth = clampLineWidth(read.values.lineWidth);
}

} // namespace quorvex
