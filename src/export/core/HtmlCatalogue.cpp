#include "HtmlCatalogue.h"

#include "ExportText.h"
#include "HtmlText.h"
#include "attachments/core/AttachmentStore.h"
#include "attachments/core/PictureDecoders.h"
#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "platform/core/AppConstants.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FileSystem.h"
#include "platform/core/ProgressReporter.h"
#include "platform/core/StaleFiles.h"
#include "platform/core/UnicodeText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace quorvex {

namespace {

constexpr const char *GeneratorMark = "<meta name=\"generator\" content=\"Quorvex";

// The page's script: sorting, searching and paging over the rows it carries.
// Cells are put in with textContent and attributes, never as markup.
constexpr const char *Script = R"JS((function () {
  var D = window.QUORVEX_CATALOGUE, all = D.rows, size = D.pageRows;
  var body = document.querySelector('#list tbody'), heads = document.querySelectorAll('#list th');
  var search = document.getElementById('search'), count = document.getElementById('count');
  var prev = document.getElementById('prev'), next = document.getElementById('next');
  var at = document.getElementById('page');
  var order = all, shown = all, page = 0, sortCol = -1, sortDir = 1;
  var collate = new Intl.Collator(undefined, {numeric: true, sensitivity: 'base'}).compare;
  function text(c) { return c === undefined ? '' : typeof c === 'string' ? c : c.n; }
  function key(r) { if (r.k === undefined) r.k = r.map(text).join('\n').toLowerCase(); return r.k; }
  function cell(c) {
    var td = document.createElement('td');
    if (typeof c !== 'object') { td.textContent = c || ''; return td; }
    td.className = 'file';
    var inner = document.createTextNode(c.n);
    if (c.t) { inner = document.createElement('img'); inner.src = c.t; inner.alt = c.n; inner.loading = 'lazy'; }
    if (c.h) { var a = document.createElement('a'); a.href = c.h; a.appendChild(inner); inner = a; }
    td.appendChild(inner);
    return td;
  }
  function render() {
    var pages = Math.max(1, Math.ceil(shown.length / size));
    page = Math.min(Math.max(page, 0), pages - 1);
    var rows = document.createDocumentFragment();
    shown.slice(page * size, page * size + size).forEach(function (r) {
      var tr = document.createElement('tr');
      for (var i = 0; i < heads.length; i++) tr.appendChild(cell(r[i]));
      rows.appendChild(tr);
    });
    body.replaceChildren(rows);
    count.textContent = shown.length + ' of ' + all.length + ' items';
    at.textContent = 'Page ' + (page + 1) + ' of ' + pages;
    prev.disabled = page === 0;
    next.disabled = page >= pages - 1;
  }
  function filter() {
    var q = search.value.toLowerCase();
    shown = q ? order.filter(function (r) { return key(r).indexOf(q) >= 0; }) : order;
    page = 0;
    render();
  }
  heads.forEach(function (th, i) {
    th.addEventListener('click', function () {
      sortDir = sortCol === i ? -sortDir : 1;
      sortCol = i;
      order = all.slice().sort(function (a, b) { return sortDir * collate(text(a[i]), text(b[i])); });
      heads.forEach(function (h) { h.removeAttribute('aria-sort'); });
      th.setAttribute('aria-sort', sortDir > 0 ? 'ascending' : 'descending');
      filter();
    });
  });
  search.addEventListener('input', filter);
  prev.addEventListener('click', function () { page--; render(); });
  next.addEventListener('click', function () { page++; render(); });
  document.getElementById('tools').hidden = false;
  render();
})();
)JS";

// What a picture reference became: the relative links of its thumbnail and
// of its copy, either empty when that could not be made.
struct PictureFiles {
    std::string thumb;
    std::string full;
};

bool isRealFolder(const std::string &path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A sub-folder of the catalogue: made when missing, refused when something
// else (a link above all) stands in its place.
bool ensureSubFolder(const std::string &path, std::string &error)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        error = path + " is not a folder.";
        return false;
    }
    if (::mkdir(path.c_str(), 0755) != 0 && !isRealFolder(path)) {
        error = "Unable to create the folder " + path + ". " + FileSystem::errorCause(errno);
        return false;
    }
    return true;
}

// A file of the catalogue that an earlier export made from the same source:
// a regular file (not a link) with the source's write time.
bool isCurrentCopy(const std::string &path, const struct stat &source, bool sameSize)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return st.st_mtim.tv_sec == source.st_mtim.tv_sec && st.st_mtim.tv_nsec / 100 == source.st_mtim.tv_nsec / 100 &&
           (!sameSize || st.st_size == source.st_size);
}

bool writeCatalogueFile(const std::string &path, std::string_view bytes, const struct stat *times, std::string &error)
{
    AtomicFile file(path, AtomicFile::LinkPolicy::Refuse);
    file.setRemoveStale(false);
    file.setSyncNewFiles(false);
    if (!file.open() || !file.write(bytes)) {
        error = file.errorText();
        return false;
    }
    if (times) {
        const std::uint64_t a = FileSystem::ticksFromUnix(times->st_atim.tv_sec, times->st_atim.tv_nsec);
        const std::uint64_t w = FileSystem::ticksFromUnix(times->st_mtim.tv_sec, times->st_mtim.tv_nsec);
        file.setTimes(a, w);
    }
    if (!file.commit()) {
        error = file.errorText();
        return false;
    }
    return true;
}

class CatalogueWriter {
public:
    CatalogueWriter(const ListDocument &doc, const std::string &outFolder, const HtmlCatalogue::Options &options)
        : m_doc(doc), m_out(FileSystem::withTrailingSlash(outFolder)), m_options(options),
          m_text(doc.textEncoding())
    {
    }

    HtmlCatalogue::Result run()
    {
        m_rows = ExportText::dataRows(m_doc, m_options.rows);
        m_result.rows = static_cast<int>(m_rows.size());
        if (!isRealFolder(FileSystem::withoutTrailingSlash(m_out)) && !FileSystem::createFolders(m_out)) {
            m_result.error = "Unable to create the folder " + m_out + ". " + FileSystem::errorCause(errno);
            return m_result;
        }
        if (!FileSystem::isDirectory(m_out)) {
            m_result.error = m_out + " is not a folder.";
            return m_result;
        }
        if (!makePictures())
            return m_result;
        std::string page;
        buildPage(page);
        StaleFiles::removeStaleTemporaries(m_out);
        std::string error;
        if (!writeCatalogueFile(m_out + HtmlCatalogue::IndexName, page, nullptr, error)) {
            m_result.error = "The catalogue page could not be written. " + error;
            return m_result;
        }
        m_result.ok = true;
        return m_result;
    }

private:
    void report(int percent)
    {
        if (!m_options.progress)
            return;
        m_options.progress->setProgress(percent, std::to_string(percent) + HtmlCatalogue::ProgressSuffix);
        m_options.progress->pumpEvents();
    }

    // The file name of a reference on disk, or empty when it would name
    // something outside the database folder.
    std::string diskName(std::string_view referenceName) const
    {
        if (!AttachmentRef::isSafeFileName(referenceName))
            return {};
        if (m_doc.textEncoding() == TextEncoding::Utf8)
            return UnicodeText::isValidUtf8(referenceName) ? std::string(referenceName) : std::string();
        return AttachmentStore::diskName(referenceName);
    }

    bool makePictures()
    {
        // Every distinct picture once, however many cells show it.
        std::vector<std::string> names;
        for (int r : m_rows) {
            const CellRow &row = m_doc.rowAt(r);
            for (int c = 1; c < std::min(row.storedCount(), m_doc.ColCount()); ++c) {
                const std::string_view cell = row.cell(c);
                if (!AttachmentRef::isReference(cell) || AttachmentRef::typeCode(cell) != AttachPicture)
                    continue;
                const std::string name(AttachmentRef::fileName(cell));
                if (m_pictures.emplace(name, PictureFiles{}).second)
                    names.push_back(name);
            }
        }
        m_result.pictures = static_cast<int>(names.size());
        if (names.empty())
            return true;
        const std::string thumbs = m_out + HtmlCatalogue::ThumbFolder;
        const std::string full = m_out + HtmlCatalogue::PictureFolder;
        if (!ensureSubFolder(thumbs, m_result.error) || !ensureSubFolder(full, m_result.error))
            return false;
        StaleFiles::removeStaleTemporaries(thumbs + "/");
        StaleFiles::removeStaleTemporaries(full + "/");
        const std::string database = FileSystem::withTrailingSlash(m_options.databaseFolder);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i % 16 == 0)
                report(static_cast<int>(i * 90 / names.size()));
            makePicture(names[i], database, m_pictures[names[i]]);
        }
        return true;
    }

    void makePicture(const std::string &referenceName, const std::string &database, PictureFiles &files)
    {
        const std::string shownName = m_text.utf8(referenceName);
        if (database.empty()) {
            m_result.missing.push_back(shownName);
            return;
        }
        const std::string name = diskName(referenceName);
        if (name.empty()) {
            m_result.refused.push_back(shownName);
            return;
        }
        const std::string source = database + name;
        // Never through a link, so no reference reads a file outside the folder.
        const int fd = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            (errno == ELOOP ? m_result.refused : m_result.missing).push_back(shownName);
            return;
        }
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            static_cast<std::uint64_t>(st.st_size) > PictureDecoders::MaxFileBytes) {
            ::close(fd);
            m_result.unreadable.push_back(shownName);
            return;
        }
        const std::string thumbName = name + ".jpg";
        const std::string thumbPath = m_out + HtmlCatalogue::ThumbFolder + "/" + thumbName;
        const std::string fullPath = m_out + HtmlCatalogue::PictureFolder + "/" + name;
        const bool thumbKept = isCurrentCopy(thumbPath, st, false);
        const bool fullKept = isCurrentCopy(fullPath, st, true);
        std::string bytes;
        if (!thumbKept || !fullKept) {
            bytes.resize(static_cast<std::size_t>(st.st_size));
            std::size_t got = 0;
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            while (got < bytes.size()) {
                const ssize_t n = ::read(fd, &bytes[got], bytes.size() - got);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                got += static_cast<std::size_t>(n);
            }
            if (got < bytes.size()) {
                ::close(fd);
                m_result.unreadable.push_back(shownName);
                return;
            }
        }
        ::close(fd);
        std::string error;
        if (fullKept || writeCatalogueFile(fullPath, bytes, &st, error))
            files.full = std::string(HtmlCatalogue::PictureFolder) + "/" + HtmlText::urlSegment(name);
        if (thumbKept) {
            ++m_result.thumbnailsKept;
            files.thumb = std::string(HtmlCatalogue::ThumbFolder) + "/" + HtmlText::urlSegment(thumbName);
            return;
        }
        std::string ext;
        const std::size_t dot = name.find_last_of('.');
        if (dot != std::string::npos)
            for (std::size_t k = dot; k < name.size(); ++k)
                ext += static_cast<char>(name[k] >= 'A' && name[k] <= 'Z' ? name[k] - 'A' + 'a' : name[k]);
        std::string jpeg;
        if (!Thumbnailer::makeThumbnail(bytes, source, ext, m_options.foreignReader, jpeg, error)) {
            m_result.unreadable.push_back(shownName);
            return;
        }
        if (writeCatalogueFile(thumbPath, jpeg, &st, error)) {
            ++m_result.thumbnailsWritten;
            files.thumb = std::string(HtmlCatalogue::ThumbFolder) + "/" + HtmlText::urlSegment(thumbName);
        }
    }

    void appendStyle(std::string &page) const
    {
        const GridAppearance &a = m_options.appearance;
        const int line = std::min(a.gridLineWidth, 4);
        const std::string gridBorder =
            line > 0 ? std::to_string(line) + "px solid " + HtmlText::cssColor(a.gridLineColor.color) : "none";
        const std::string fixedBorder =
            line > 0 ? std::to_string(line) + "px solid " + HtmlText::cssColor(a.fixedLineColor.color) : "none";
        page += "<style>\n"
                "body{font-family:Arial,'Liberation Sans',sans-serif;font-size:14px;margin:1em;"
                "background:#fff;color:#000}\n"
                "h1{font-size:1.4em}\n"
                "#tools{margin:.5em 0}#tools input{font-size:1em;padding:2px 4px;min-width:20em}\n"
                "#tools span,#tools button{margin-left:1em}\n"
                "table{border-collapse:collapse}\n";
        page += "th{background:" + HtmlText::cssColor(a.fixedColor.color) +
                ";color:" + HtmlText::cssColor(a.fixedFontColor.color) + ";border:" + fixedBorder +
                ";padding:3px 8px;text-align:left;cursor:pointer;position:sticky;top:0;user-select:none}\n";
        page += "th[aria-sort=ascending]::after{content:' \\25B2'}th[aria-sort=descending]::after{content:' \\25BC'}\n";
        page += "td{border:" + gridBorder + ";padding:2px 8px;vertical-align:top;white-space:pre-wrap}\n";
        // Data row 1 takes the even colours, row 2 the odd ones, as on the grid.
        page += "tbody tr:nth-child(odd){background:" + HtmlText::cssColor(a.evenRowColor.color) +
                ";color:" + HtmlText::cssColor(a.evenFontColor.color) + "}\n";
        page += "tbody tr:nth-child(even){background:" + HtmlText::cssColor(a.oddRowColor.color) +
                ";color:" + HtmlText::cssColor(a.oddFontColor.color) + "}\n";
        page += "tbody tr:hover{background:" + HtmlText::cssColor(a.selectedColor.color) +
                ";color:" + HtmlText::cssColor(a.selectedFontColor.color) + "}\n";
        page += "tbody tr:hover a{color:inherit}\n"
                "td.file{font-style:italic}td img{display:block;max-width:160px;max-height:160px;font-style:normal}\n"
                "</style>\n";
    }

    // One cell of the first page, as the script also builds it.
    void appendStaticCell(std::string &page, std::string_view cell) const
    {
        if (!AttachmentRef::isReference(cell)) {
            page += "<td>";
            m_scratch.clear();
            m_text.appendUtf8(m_scratch, cell);
            HtmlText::appendEscaped(page, m_scratch);
            page += "</td>";
            return;
        }
        m_scratch.clear();
        m_text.appendUtf8(m_scratch, AttachmentRef::fileName(cell));
        const PictureFiles *files = pictureFiles(cell);
        page += "<td class=\"file\">";
        if (files && !files->full.empty()) {
            page += "<a href=\"";
            HtmlText::appendEscaped(page, files->full);
            page += "\">";
        }
        if (files && !files->thumb.empty()) {
            page += "<img src=\"";
            HtmlText::appendEscaped(page, files->thumb);
            page += "\" alt=\"";
            HtmlText::appendEscaped(page, m_scratch);
            page += "\" loading=\"lazy\">";
        } else {
            HtmlText::appendEscaped(page, m_scratch);
        }
        if (files && !files->full.empty())
            page += "</a>";
        page += "</td>";
    }

    void appendDataCell(std::string &page, std::string_view cell) const
    {
        m_scratch.clear();
        if (!AttachmentRef::isReference(cell)) {
            m_text.appendUtf8(m_scratch, cell);
            HtmlText::appendJsonString(page, m_scratch);
            return;
        }
        m_text.appendUtf8(m_scratch, AttachmentRef::fileName(cell));
        page += "{\"n\":";
        HtmlText::appendJsonString(page, m_scratch);
        if (const PictureFiles *files = pictureFiles(cell)) {
            if (!files->thumb.empty()) {
                page += ",\"t\":";
                HtmlText::appendJsonString(page, files->thumb);
            }
            if (!files->full.empty()) {
                page += ",\"h\":";
                HtmlText::appendJsonString(page, files->full);
            }
        }
        page += '}';
    }

    const PictureFiles *pictureFiles(std::string_view cell) const
    {
        if (AttachmentRef::typeCode(cell) != AttachPicture)
            return nullptr;
        const auto it = m_pictures.find(std::string(AttachmentRef::fileName(cell)));
        return it == m_pictures.end() ? nullptr : &it->second;
    }

    void buildPage(std::string &page)
    {
        const int cols = m_doc.ColCount();
        const int pageRows = std::max(1, m_options.pageRows);
        page.reserve(4096 + m_rows.size() * static_cast<std::size_t>(std::max(cols, 1)) * 24);
        page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
        page += GeneratorMark;
        page += ' ';
        page += releaseVersion;
        page += "\">\n"
                "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
        // The title may come from a file name, which need not be UTF-8.
        const std::string title = ExportText(TextEncoding::Utf8).utf8(m_options.title);
        HtmlText::appendEscaped(page, title);
        page += "</title>\n";
        appendStyle(page);
        page += "</head>\n<body>\n<h1>";
        HtmlText::appendEscaped(page, title);
        page += "</h1>\n<p id=\"tools\" hidden><input id=\"search\" type=\"search\" placeholder=\"Search\" "
                "aria-label=\"Search\"><span id=\"count\"></span><button id=\"prev\" type=\"button\">"
                "&#8249; Previous</button><span id=\"page\"></span><button id=\"next\" type=\"button\">"
                "Next &#8250;</button></p>\n";
        if (static_cast<int>(m_rows.size()) > pageRows)
            page += "<noscript><p>The first " + std::to_string(pageRows) + " of " + std::to_string(m_rows.size()) +
                    " items; the others show with scripts allowed.</p></noscript>\n";
        page += "<table id=\"list\">\n<thead><tr>";
        for (int c = 1; c < cols; ++c) {
            page += "<th scope=\"col\">";
            m_scratch.clear();
            m_text.appendUtf8(m_scratch, m_doc.cellView(c, 0));
            HtmlText::appendEscaped(page, m_scratch);
            page += "</th>";
        }
        page += "</tr></thead>\n<tbody>\n";
        const std::size_t first = std::min(m_rows.size(), static_cast<std::size_t>(pageRows));
        for (std::size_t i = 0; i < first; ++i) {
            page += "<tr>";
            const CellRow &row = m_doc.rowAt(m_rows[i]);
            for (int c = 1; c < cols; ++c)
                appendStaticCell(page, c < row.storedCount() ? row.cell(c) : std::string_view());
            page += "</tr>\n";
        }
        page += "</tbody>\n</table>\n<script>\nwindow.QUORVEX_CATALOGUE={\"pageRows\":" + std::to_string(pageRows) +
                ",\"rows\":[\n";
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            const CellRow &row = m_doc.rowAt(m_rows[i]);
            page += i ? ",[" : "[";
            // Trailing empty cells are left out; the script reads them as empty.
            const int stored = std::min(row.storedCount(), cols);
            for (int c = 1; c < stored; ++c) {
                if (c > 1)
                    page += ',';
                appendDataCell(page, row.cell(c));
            }
            page += "]\n";
            if (i % 20000 == 19999)
                report(90 + static_cast<int>(i * 10 / m_rows.size()));
        }
        page += "]};\n</script>\n<script>\n";
        page += Script;
        page += "</script>\n</body>\n</html>\n";
    }

    const ListDocument &m_doc;
    const std::string m_out;
    const HtmlCatalogue::Options &m_options;
    const ExportText m_text;
    std::vector<int> m_rows;
    std::unordered_map<std::string, PictureFiles> m_pictures;
    HtmlCatalogue::Result m_result;
    mutable std::string m_scratch;
};

} // namespace

bool HtmlCatalogue::holdsIndex(const std::string &outFolder)
{
    struct stat st;
    return ::lstat((FileSystem::withTrailingSlash(outFolder) + IndexName).c_str(), &st) == 0;
}

bool HtmlCatalogue::holdsForeignIndex(const std::string &outFolder)
{
    if (!holdsIndex(outFolder))
        return false;
    const auto head = FileSystem::readFilePrefix(FileSystem::withTrailingSlash(outFolder) + IndexName, 4096);
    return !head || head->find(GeneratorMark) == std::string::npos;
}

HtmlCatalogue::Result HtmlCatalogue::write(const ListDocument &doc, const std::string &outFolder,
                                           const Options &options)
{
    return CatalogueWriter(doc, outFolder, options).run();
}

} // namespace quorvex
