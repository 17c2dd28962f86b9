#include "RecentlyUsedList.h"

#include "FileSystem.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex {

namespace {

constexpr const char *BookmarkNs = "http://www.freedesktop.org/standards/desktop-bookmarks";
constexpr const char *MimeNs = "http://www.freedesktop.org/standards/shared-mime-info";
constexpr const char *MetadataOwner = "http://freedesktop.org";

// One element of the document: where its text lies and what it holds.
struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes; // values unescaped
    std::size_t begin = 0;    // its '<'
    std::size_t tagEnd = 0;   // past the '>' of its start tag
    std::size_t closeBegin = 0; // its end tag's '<' (tagEnd for an empty element)
    std::size_t end = 0;      // past its last '>'
    int parent = -1;
    std::vector<int> children;

    const std::string *attribute(const std::string &key) const
    {
        for (const auto &a : attributes)
            if (a.first == key)
                return &a.second;
        return nullptr;
    }
};

std::string escape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

// Reads the document with expat and keeps where each element lies, so that
// an edit can leave every other byte as it was. A document type with its own
// definitions is refused (no entity of ours is ever expanded), as is anything
// nested deeper than MaxDepth.
class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    bool parse()
    {
        if (m_text.size() > static_cast<std::size_t>(INT_MAX))
            return false;
        XML_Parser parser = XML_ParserCreate("UTF-8");
        if (!parser)
            return false;
        m_parser = parser;
        XML_SetUserData(parser, this);
        XML_SetElementHandler(parser, &Parser::started, &Parser::ended);
        XML_SetStartDoctypeDeclHandler(parser, &Parser::doctype);
        XML_SetEntityDeclHandler(parser, &Parser::entity);
        const bool ok = XML_Parse(parser, m_text.data(), static_cast<int>(m_text.size()), XML_TRUE) == XML_STATUS_OK &&
                        !m_refused && m_open.empty();
        XML_ParserFree(parser);
        return ok;
    }

    std::vector<Element> elements;

private:
    static void started(void *self, const XML_Char *name, const XML_Char **attributes)
    {
        auto &p = *static_cast<Parser *>(self);
        if (p.m_open.size() >= RecentlyUsedList::MaxDepth)
            return p.refuse();
        Element e;
        e.name = name;
        for (int i = 0; attributes[i]; i += 2)
            e.attributes.emplace_back(attributes[i], attributes[i + 1]);
        e.begin = static_cast<std::size_t>(XML_GetCurrentByteIndex(p.m_parser));
        e.tagEnd = e.begin + static_cast<std::size_t>(XML_GetCurrentByteCount(p.m_parser));
        e.parent = p.m_open.empty() ? -1 : p.m_open.back();
        const int index = static_cast<int>(p.elements.size());
        if (e.parent >= 0)
            p.elements[static_cast<std::size_t>(e.parent)].children.push_back(index);
        p.elements.push_back(std::move(e));
        p.m_open.push_back(index);
    }

    static void ended(void *self, const XML_Char *)
    {
        auto &p = *static_cast<Parser *>(self);
        // An empty element's end comes right after its start tag, with no bytes of its own.
        Element &e = p.elements[static_cast<std::size_t>(p.m_open.back())];
        e.closeBegin = static_cast<std::size_t>(XML_GetCurrentByteIndex(p.m_parser));
        e.end = e.closeBegin + static_cast<std::size_t>(XML_GetCurrentByteCount(p.m_parser));
        p.m_open.pop_back();
    }

    static void doctype(void *self, const XML_Char *, const XML_Char *, const XML_Char *, int hasInternalSubset)
    {
        if (hasInternalSubset)
            static_cast<Parser *>(self)->refuse();
    }

    static void entity(void *self, const XML_Char *, int, const XML_Char *, int, const XML_Char *, const XML_Char *,
                       const XML_Char *, const XML_Char *)
    {
        static_cast<Parser *>(self)->refuse();
    }

    void refuse()
    {
        m_refused = true;
        XML_StopParser(m_parser, XML_FALSE);
    }

    std::string_view m_text;
    XML_Parser m_parser = nullptr;
    std::vector<int> m_open;
    bool m_refused = false;
};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Two spellings of one address compare equal: "%7E" and "~", "%2f" and "%2F".
std::string decodedUri(const std::string &uri)
{
    std::string out;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && hexValue(uri[i + 1]) >= 0 && hexValue(uri[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(uri[i + 1]) * 16 + hexValue(uri[i + 2]));
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

// The latest of a bookmark's times; the stamps are all ISO 8601 in UTC, so
// they order as text.
std::string lastUse(const Element &bookmark)
{
    std::string latest;
    for (const char *key : {"added", "modified", "visited"})
        if (const std::string *v = bookmark.attribute(key))
            latest = std::max(latest, *v);
    return latest;
}

std::string applicationTag(const RecentlyUsedList::Use &use, long long count, const char *indent)
{
    return std::string(indent) + "<bookmark:application name=\"" + escape(use.appName) + "\" exec=\"" +
           escape("'" + use.appExec + "'") + "\" modified=\"" + escape(use.time) + "\" count=\"" +
           std::to_string(count) + "\"/>\n";
}

} // namespace

std::string RecentlyUsedList::location(const char *xdgDataHome, const char *home)
{
    // A relative XDG_DATA_HOME is invalid and is ignored, as the desktop does.
    if (xdgDataHome && xdgDataHome[0] == '/')
        return FileSystem::withTrailingSlash(xdgDataHome) + FileName;
    if (home && home[0] == '/')
        return FileSystem::withTrailingSlash(home) + ".local/share/" + FileName;
    return std::string();
}

std::string RecentlyUsedList::fileUri(const std::string &absolutePath)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : absolutePath) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           std::string_view("-._~!$&'()*+,;=:@/").find(static_cast<char>(c)) != std::string_view::npos;
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

std::string RecentlyUsedList::timestamp(long long unixSeconds, int microseconds)
{
    // Civil date from days since 1970-01-01 (proleptic Gregorian).
    long long days = unixSeconds / 86400, secs = unixSeconds % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char out[96];
    std::snprintf(out, sizeof out, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld.%06dZ", y, m, d, secs / 3600,
                  secs / 60 % 60, secs % 60, std::clamp(microseconds, 0, 999999));
    return out;
}

std::optional<std::string> RecentlyUsedList::merge(std::string_view existing, const Use &use)
{
    const std::string uri = fileUri(use.path);
    if (existing.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        existing = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<xbel version=\"1.0\"\n"
                   "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
                   "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
                   ">\n"
                   "</xbel>\n";
    }
    Parser parser(existing);
    if (!parser.parse())
        return std::nullopt;
    const std::vector<Element> &el = parser.elements;
    const Element &root = el[0];
    if (root.name != "xbel" || root.closeBegin == root.tagEnd)
        return std::nullopt;

    // Our bookmark, if the file has one, and the others by age.
    int ours = -1;
    std::vector<int> others;
    for (int c : root.children) {
        if (el[c].name != "bookmark")
            continue;
        const std::string *href = el[c].attribute("href");
        if (ours < 0 && href && decodedUri(*href) == decodedUri(uri))
            ours = c;
        else
            others.push_back(c);
    }

    // What our entry keeps from before: when it was added, its title and
    // description, its groups, the other programs that opened it, and any
    // metadata of other owners.
    std::string added = use.time;
    std::string kept, keptMetadata, keptApplications, keptInfo;
    long long count = 0;
    auto raw = [&](int i) { return std::string(existing.substr(el[i].begin, el[i].end - el[i].begin)); };
    if (ours >= 0) {
        if (const std::string *a = el[ours].attribute("added"))
            added = *a;
        for (int c : el[ours].children) {
            if (el[c].name != "info") {
                kept += "    " + raw(c) + "\n";
                continue;
            }
            for (int m : el[c].children) {
                const std::string *owner = el[m].attribute("owner");
                if (el[m].name != "metadata" || !owner || *owner != MetadataOwner) {
                    keptInfo += "      " + raw(m) + "\n";
                    continue;
                }
                for (int k : el[m].children) {
                    if (el[k].name == "mime:mime-type")
                        continue;
                    if (el[k].name != "bookmark:applications") {
                        keptMetadata += "        " + raw(k) + "\n";
                        continue;
                    }
                    for (int app : el[k].children) {
                        const std::string *name = el[app].attribute("name");
                        if (el[app].name == "bookmark:application" && name && *name == use.appName) {
                            const std::string *c0 = el[app].attribute("count");
                            long long previous = 0;
                            if (c0 && !c0->empty() && c0->size() < 10 &&
                                c0->find_first_not_of("0123456789") == std::string::npos)
                                previous = std::stoll(*c0);
                            count = std::max(count, previous);
                        } else {
                            keptApplications += "          " + raw(app) + "\n";
                        }
                    }
                }
            }
        }
    }
    std::string entry = "<bookmark href=\"" + escape(uri) + "\" added=\"" + escape(added) + "\" modified=\"" +
                        escape(use.time) + "\" visited=\"" + escape(use.time) + "\">\n" + kept + "    <info>\n" +
                        "      <metadata owner=\"" + MetadataOwner + "\">\n" + "        <mime:mime-type type=\"" +
                        escape(use.mimeType) + "\"/>\n" + keptMetadata + "        <bookmark:applications>\n" +
                        keptApplications + applicationTag(use, count + 1, "          ") +
                        "        </bookmark:applications>\n" + "      </metadata>\n" + keptInfo + "    </info>\n" +
                        "  </bookmark>";

    // The edits, applied from the end of the text backwards.
    struct Edit {
        std::size_t begin, end;
        std::string text;
    };
    std::vector<Edit> edits;
    if (ours >= 0)
        edits.push_back({el[ours].begin, el[ours].end, entry});
    else
        edits.push_back({root.closeBegin, root.closeBegin, "  " + entry + "\n"});
    if (others.size() + 1 > MaxBookmarks) {
        std::vector<int> byAge = others;
        std::stable_sort(byAge.begin(), byAge.end(),
                         [&](int a, int b) { return lastUse(el[a]) < lastUse(el[b]); });
        byAge.resize(others.size() + 1 - MaxBookmarks);
        for (int b : byAge) {
            // The line it stood on goes with it.
            std::size_t from = el[b].begin;
            while (from > root.tagEnd && (existing[from - 1] == ' ' || existing[from - 1] == '\t'))
                --from;
            std::size_t to = el[b].end;
            if (to < existing.size() && existing[to] == '\n')
                ++to;
            edits.push_back({from, to, std::string()});
        }
    }
    // The prefixes our entry uses must be declared.
    std::string declarations;
    if (!root.attribute("xmlns:bookmark"))
        declarations += std::string(" xmlns:bookmark=\"") + BookmarkNs + "\"";
    if (!root.attribute("xmlns:mime"))
        declarations += std::string(" xmlns:mime=\"") + MimeNs + "\"";
    if (!declarations.empty())
        edits.push_back({root.tagEnd - 1, root.tagEnd - 1, declarations});

    std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.begin > b.begin; });
    std::string out(existing);
    for (const Edit &e : edits)
        out.replace(e.begin, e.end - e.begin, e.text);
    return out;
}

RecentlyUsedList::Result RecentlyUsedList::add(const std::string &xbelPath, const Use &use)
{
    struct stat st;
    std::string existing;
    if (::lstat(xbelPath.c_str(), &st) == 0) {
        // A link (to /dev/null, say, to keep no history), a pipe or a folder
        // is someone's choice: leave it.
        if (!S_ISREG(st.st_mode))
            return Result::NotAFile;
        if (static_cast<std::uint64_t>(st.st_size) > MaxFileBytes)
            return Result::TooLarge;
        const std::optional<std::string> text = FileSystem::readFilePrefix(xbelPath, MaxFileBytes + 1);
        if (!text)
            return Result::WriteFailed;
        if (text->size() > MaxFileBytes)
            return Result::TooLarge;
        existing = *text;
    } else {
        const std::size_t slash = xbelPath.find_last_of('/');
        if (slash == std::string::npos || !FileSystem::createFolders(xbelPath.substr(0, slash + 1)))
            return Result::WriteFailed;
        // Made first, so the replacement keeps its owner-only mode.
        const int fd = ::open(xbelPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    const std::optional<std::string> merged = merge(existing, use);
    if (!merged)
        return Result::Damaged;
    return FileSystem::writeFileAtomic(xbelPath, *merged) ? Result::Written : Result::WriteFailed;
}

} // namespace quorvex
