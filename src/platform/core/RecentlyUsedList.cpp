#include "RecentlyUsedList.h"

#include "FileSystem.h"

#include <algorithm>
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

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isNameChar(char c)
{
    return !isSpace(c) && c != '<' && c != '>' && c != '/' && c != '=' && c != '"' && c != '\'' && c != '&' &&
           c != '\0';
}

void appendUtf8(std::string &out, unsigned long cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Text with its entity and character references replaced; false for a
// reference XML does not know.
bool unescape(std::string_view text, std::string &out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t semi = text.find(';', i);
        if (semi == std::string_view::npos || semi - i > 12)
            return false;
        const std::string_view ref = text.substr(i + 1, semi - i - 1);
        if (ref == "amp")
            out += '&';
        else if (ref == "lt")
            out += '<';
        else if (ref == "gt")
            out += '>';
        else if (ref == "quot")
            out += '"';
        else if (ref == "apos")
            out += '\'';
        else if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            if (digits.empty())
                return false;
            unsigned long cp = 0;
            for (char d : digits) {
                int v;
                if (d >= '0' && d <= '9')
                    v = d - '0';
                else if (hex && d >= 'a' && d <= 'f')
                    v = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F')
                    v = d - 'A' + 10;
                else
                    return false;
                cp = cp * (hex ? 16 : 10) + static_cast<unsigned long>(v);
                if (cp > 0x10FFFF)
                    return false;
            }
            if (cp == 0)
                return false;
            appendUtf8(out, cp);
        } else {
            return false;
        }
        i = semi;
    }
    return true;
}

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

// A well-formedness check that keeps where each element lies. Declarations,
// comments and processing instructions are skipped; a document type with its
// own definitions is refused, as is anything nested deeper than MaxDepth.
class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    bool parse()
    {
        std::vector<int> open;
        // A byte-order mark may open the file.
        std::size_t i = m_text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
        const std::size_t n = m_text.size();
        int roots = 0;
        while (i < n) {
            if (m_text[i] != '<') {
                const std::size_t next = std::min(m_text.find('<', i), n);
                const std::string_view text = m_text.substr(i, next - i);
                if (open.empty()) {
                    for (char c : text)
                        if (!isSpace(c))
                            return false;
                } else {
                    std::string scratch;
                    if (text.find('&') != std::string_view::npos && !unescape(text, scratch))
                        return false;
                }
                i = next;
                continue;
            }
            const std::string_view rest = m_text.substr(i);
            if (rest.substr(0, 4) == "<!--") {
                const std::size_t close = m_text.find("-->", i + 4);
                if (close == std::string_view::npos)
                    return false;
                i = close + 3;
            } else if (rest.substr(0, 9) == "<![CDATA[") {
                const std::size_t close = m_text.find("]]>", i + 9);
                if (open.empty() || close == std::string_view::npos)
                    return false;
                i = close + 3;
            } else if (rest.substr(0, 2) == "<!") {
                const std::size_t close = m_text.find('>', i);
                if (close == std::string_view::npos || !open.empty() || roots > 0 ||
                    m_text.substr(i, close - i).find('[') != std::string_view::npos)
                    return false;
                i = close + 1;
            } else if (rest.substr(0, 2) == "<?") {
                const std::size_t close = m_text.find("?>", i + 2);
                if (close == std::string_view::npos)
                    return false;
                i = close + 2;
            } else if (rest.substr(0, 2) == "</") {
                std::size_t j = i + 2;
                const std::size_t nameStart = j;
                while (j < n && isNameChar(m_text[j]))
                    ++j;
                const std::string_view name = m_text.substr(nameStart, j - nameStart);
                while (j < n && isSpace(m_text[j]))
                    ++j;
                if (open.empty() || j >= n || m_text[j] != '>' || name != elements[open.back()].name)
                    return false;
                Element &e = elements[open.back()];
                e.closeBegin = i;
                e.end = j + 1;
                open.pop_back();
                i = j + 1;
            } else {
                if (open.empty() && roots > 0)
                    return false;
                if (open.size() >= RecentlyUsedList::MaxDepth)
                    return false;
                Element e;
                e.begin = i;
                e.parent = open.empty() ? -1 : open.back();
                std::size_t j = i + 1;
                while (j < n && isNameChar(m_text[j]))
                    ++j;
                if (j == i + 1)
                    return false;
                e.name = std::string(m_text.substr(i + 1, j - i - 1));
                bool empty = false;
                for (;;) {
                    const std::size_t before = j;
                    while (j < n && isSpace(m_text[j]))
                        ++j;
                    if (j >= n)
                        return false;
                    if (m_text[j] == '>') {
                        ++j;
                        break;
                    }
                    if (m_text[j] == '/') {
                        if (j + 1 >= n || m_text[j + 1] != '>')
                            return false;
                        j += 2;
                        empty = true;
                        break;
                    }
                    if (j == before)
                        return false; // attributes are set apart by blanks
                    const std::size_t keyStart = j;
                    while (j < n && isNameChar(m_text[j]))
                        ++j;
                    if (j == keyStart)
                        return false;
                    std::string key(m_text.substr(keyStart, j - keyStart));
                    while (j < n && isSpace(m_text[j]))
                        ++j;
                    if (j >= n || m_text[j] != '=')
                        return false;
                    ++j;
                    while (j < n && isSpace(m_text[j]))
                        ++j;
                    if (j >= n || (m_text[j] != '"' && m_text[j] != '\''))
                        return false;
                    const char quote = m_text[j++];
                    const std::size_t close = m_text.find(quote, j);
                    if (close == std::string_view::npos)
                        return false;
                    const std::string_view raw = m_text.substr(j, close - j);
                    std::string value;
                    if (raw.find('<') != std::string_view::npos || !unescape(raw, value))
                        return false;
                    for (const auto &a : e.attributes)
                        if (a.first == key)
                            return false;
                    e.attributes.emplace_back(std::move(key), std::move(value));
                    j = close + 1;
                }
                e.tagEnd = j;
                const int index = static_cast<int>(elements.size());
                if (e.parent >= 0)
                    elements[e.parent].children.push_back(index);
                else
                    ++roots;
                if (empty) {
                    e.closeBegin = j;
                    e.end = j;
                }
                elements.push_back(std::move(e));
                if (!empty)
                    open.push_back(index);
                i = j;
            }
        }
        return open.empty() && roots == 1;
    }

    std::vector<Element> elements;

private:
    std::string_view m_text;
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
