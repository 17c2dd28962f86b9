#include "TellicoImport.h"

#include "document/core/AttachmentRef.h"
#include "document/core/CellRow.h"
#include "document/core/ListDocument.h"
#include "document/core/PageSetup.h"
#include "import/core/ImportedPictures.h"
#include "listfile/core/TemplateLists.h"
#include "platform/core/ProgressReporter.h"

#include <algorithm>
#include <array>
#include <map>
#include <new>

namespace quorvex {

namespace {

constexpr char PictureType = 0x01;
const char *const ProgressText = "Importing Tellico collection...";

// The fields that fill template columns 2 to 8, first that the collection has.
using Roles = std::array<std::vector<const char *>, 7>;

const Roles &rolesOf(int type)
{
    static const Roles video = {{{"title"}, {"genre"}, {"cast"}, {"running-time"}, {"year"}, {"medium"}, {"plot"}}};
    static const Roles music = {
        {{"title"}, {"genre"}, {"artist"}, {"running-time"}, {"year"}, {"medium"}, {"plot", "comments"}}};
    static const Roles book = {
        {{"title"}, {"genre"}, {"author"}, {"running-time"}, {"pub_year", "year"}, {"binding", "medium"}, {"plot"}}};
    return type == TellicoCollection::Music ? music : type == TellicoCollection::Books ? book : video;
}

bool contains(std::string_view text, std::string_view part)
{
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a + 32 : a) == (b >= 'A' && b <= 'Z' ? b + 32 : b);
           }) != text.end();
}

std::string mediumListType(int type, std::string_view medium)
{
    if (type == TellicoCollection::Music) {
        if (contains(medium, "cassette"))
            return "cassettemusic";
        if (contains(medium, "vinyl") || contains(medium, "record") || contains(medium, "LP"))
            return "recordmusic";
        if (contains(medium, "8-track") || contains(medium, "8 track"))
            return "8trackmusic";
        return "cdmusic";
    }
    if (contains(medium, "VHS"))
        return "vhsmovie";
    if (contains(medium, "blu"))
        return "bdmovie";
    if (contains(medium, "SVCD") || contains(medium, "super video"))
        return "svcdmovie";
    if (contains(medium, "VCD") || contains(medium, "video cd"))
        return "vcdmovie";
    return "dvdmovie";
}

// Paragraph fields keep their line breaks as markup.
std::string cellText(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        if (value[i] == '<') {
            for (std::string_view br : {"<br/>", "<br />", "<br>"})
                if (value.substr(i, br.size()) == br) {
                    out += "\r\n";
                    i += br.size();
                    goto next;
                }
        }
        out += value[i++];
    next:;
    }
    return out;
}

} // namespace

std::string TellicoImport::closestListType(const TellicoCollection &c)
{
    if (c.type != TellicoCollection::Videos && c.type != TellicoCollection::Music)
        return "dvdmovie";
    const int medium = c.fieldIndex("medium");
    std::map<std::string, std::size_t> votes;
    if (medium >= 0)
        for (const auto &entry : c.entries) {
            const std::string_view value = c.value(entry, medium);
            if (!value.empty())
                ++votes[mediumListType(c.type, value.substr(0, value.find(';')))];
        }
    std::string best = mediumListType(c.type, "");
    std::size_t most = 0;
    for (const auto &[listType, count] : votes)
        if (count > most) {
            most = count;
            best = listType;
        }
    return best;
}

TellicoImport::Result TellicoImport::run(TellicoArchive &archive, const std::string &databaseFolder,
                                         ListDocument &doc, ProgressReporter *progress, const Limits &limits)
{
    Result result;
    auto report = [progress](int percent) {
        if (progress) {
            progress->setProgress(percent, ProgressText);
            progress->pumpEvents();
        }
    };
    TellicoCollection collection;
    {
        std::string xml;
        if (!archive.readXml(xml)) {
            result.error = archive.error();
            return result;
        }
        report(10);
        const TellicoXmlReader::Result read = TellicoXmlReader::read(xml, collection, limits.xml);
        if (!read.ok) {
            result.error = read.error;
            return result;
        }
    }
    report(50);
    result.listType = closestListType(collection);
    result.entries = collection.entries.size();

    // Template columns, then the other fields the entries use, in the collection's order.
    const std::size_t fieldCount = collection.fields.size();
    std::vector<int> columnOf(fieldCount, 0);
    const Roles &roles = rolesOf(collection.type);
    for (std::size_t r = 0; r < roles.size(); ++r)
        for (const char *name : roles[r]) {
            const int f = collection.fieldIndex(name);
            if (f >= 0 && columnOf[static_cast<std::size_t>(f)] == 0) {
                columnOf[static_cast<std::size_t>(f)] = static_cast<int>(r) + 2;
                break;
            }
        }
    std::vector<bool> used(fieldCount, false);
    for (const auto &entry : collection.entries)
        for (const auto &item : entry)
            used[item.first] = true;
    ListDocument list;
    PageSetup setup;
    TemplateLists::build(result.listType, list, setup);
    int columns = list.ColCount();
    std::vector<std::string> headers;
    for (std::size_t f = 0; f < fieldCount; ++f)
        if (used[f] && columnOf[f] == 0) {
            if (static_cast<std::size_t>(columns) >= limits.maxColumns) {
                result.error = "The collection has more fields than a list has columns.";
                return result;
            }
            columnOf[f] = columns++;
            headers.push_back(collection.fields[f].title);
        }
    const int templateColumns = list.ColCount();
    list.SetColCount(columns);
    for (int c = templateColumns; c < columns; ++c) {
        list.SetCell(c, 0, headers[static_cast<std::size_t>(c - templateColumns)]);
        list.SetColWidth(c, 120);
    }
    for (std::size_t f = 0; f < fieldCount; ++f)
        if (used[f] && collection.fields[f].type == TellicoCollection::ImageField &&
            (result.pictureColumn == 0 || columnOf[f] < result.pictureColumn))
            result.pictureColumn = columnOf[f];

    const std::size_t rows = std::max<std::size_t>(collection.entries.size(), 1) + 1;
    list.SetRowCount(static_cast<int>(rows));
    ImportedPictures pictures(databaseFolder);
    std::vector<std::string> cells(static_cast<std::size_t>(columns));
    std::vector<std::string_view> views(static_cast<std::size_t>(columns));
    std::string picture;
    const std::size_t step = std::max<std::size_t>(collection.entries.size() / 40, 1);
    for (std::size_t e = 0; e < collection.entries.size(); ++e) {
        for (std::string &cell : cells)
            cell.clear();
        for (const auto &[field, value] : collection.entries[e]) {
            std::string &cell = cells[static_cast<std::size_t>(columnOf[field])];
            if (collection.fields[field].type != TellicoCollection::ImageField) {
                cell = cellText(value);
                continue;
            }
            if (databaseFolder.empty())
                continue;
            std::string stored;
            const auto embedded = collection.embeddedImages.find(value);
            if (embedded != collection.embeddedImages.end()) {
                stored = pictures.store(value, embedded->second);
            } else if (archive.readImage(value, picture)) {
                stored = pictures.store(value, picture);
            } else if (!archive.error().empty()) {
                result.error = archive.error();
                return result;
            } else {
                ++result.picturesMissing;
                continue;
            }
            if (stored.empty()) {
                result.error = pictures.error();
                return result;
            }
            cell = AttachmentRef::make(PictureType, stored);
        }
        for (std::size_t c = 0; c < cells.size(); ++c)
            views[c] = cells[c];
        list.setRowAt(static_cast<int>(e) + 1, CellRow::fromCells(views));
        if (progress && e % step == 0)
            report(50 + static_cast<int>(e * 50 / collection.entries.size()));
    }
    result.picturesWritten = pictures.written();
    result.picturesReused = pictures.reused();
    list.setTextEncoding(TextEncoding::Utf8);
    list.SetCurrentCell(1, 1);
    doc = std::move(list);
    result.ok = true;
    return result;
}

TellicoImport::Result TellicoImport::importFile(const std::string &path, const std::string &databaseFolder,
                                                ListDocument &doc, ProgressReporter *progress, const Limits &limits)
{
    TellicoArchive archive;
    if (!archive.openFile(path, limits.archive)) {
        Result result;
        result.error = archive.error();
        return result;
    }
    return run(archive, databaseFolder, doc, progress, limits);
}

TellicoImport::Result TellicoImport::importMemory(std::string_view bytes, const std::string &databaseFolder,
                                                  ListDocument &doc, const Limits &limits)
{
    TellicoArchive archive;
    if (!archive.openMemory(bytes, limits.archive)) {
        Result result;
        result.error = archive.error();
        return result;
    }
    return run(archive, databaseFolder, doc, nullptr, limits);
}

} // namespace quorvex
