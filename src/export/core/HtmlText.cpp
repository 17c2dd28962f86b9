#include "HtmlText.h"

namespace quorvex {

namespace {

const char Hex[] = "0123456789abcdef";

void appendUnicodeEscape(std::string &out, unsigned code)
{
    out += "\\u";
    out += Hex[(code >> 12) & 0xF];
    out += Hex[(code >> 8) & 0xF];
    out += Hex[(code >> 4) & 0xF];
    out += Hex[code & 0xF];
}

} // namespace

void HtmlText::appendEscaped(std::string &out, std::string_view utf8)
{
    std::size_t run = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char *ref = nullptr;
        switch (utf8[i]) {
        case '&': ref = "&amp;"; break;
        case '<': ref = "&lt;"; break;
        case '>': ref = "&gt;"; break;
        case '"': ref = "&quot;"; break;
        case '\'': ref = "&#39;"; break;
        default: continue;
        }
        out.append(utf8.data() + run, i - run);
        out += ref;
        run = i + 1;
    }
    out.append(utf8.data() + run, utf8.size() - run);
}

void HtmlText::appendJsonString(std::string &out, std::string_view utf8)
{
    out += '"';
    std::size_t run = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const bool separator = b == 0xE2 && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0x80 &&
                               (static_cast<unsigned char>(utf8[i + 2]) == 0xA8 ||
                                static_cast<unsigned char>(utf8[i + 2]) == 0xA9);
        if (b >= 0x20 && b != '"' && b != '\\' && b != '<' && b != '>' && b != '&' && b != 0x7F && !separator)
            continue;
        out.append(utf8.data() + run, i - run);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (separator) {
            appendUnicodeEscape(out, static_cast<unsigned char>(utf8[i + 2]) == 0xA8 ? 0x2028 : 0x2029);
            i += 2;
        } else {
            appendUnicodeEscape(out, b);
        }
        run = i + 1;
    }
    out.append(utf8.data() + run, utf8.size() - run);
    out += '"';
}

std::string HtmlText::urlSegment(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' || b == '.' ||
            b == '_' || b == '~') {
            out += c;
        } else {
            out += '%';
            out += static_cast<char>(Hex[b >> 4] - (Hex[b >> 4] >= 'a' ? 'a' - 'A' : 0));
            out += static_cast<char>(Hex[b & 0xF] - (Hex[b & 0xF] >= 'a' ? 'a' - 'A' : 0));
        }
    }
    return out;
}

std::string HtmlText::cssColor(ColorRef color)
{
    std::string out = "#";
    for (const unsigned part : {color & 0xFFu, (color >> 8) & 0xFFu, (color >> 16) & 0xFFu}) {
        out += Hex[part >> 4];
        out += Hex[part & 0xF];
    }
    return out;
}

} // namespace quorvex
