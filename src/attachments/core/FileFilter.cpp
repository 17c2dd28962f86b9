#include "FileFilter.h"

namespace quorvex {

namespace {

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

std::string trimmed(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::vector<FileFilterEntry> FileFilter::parse(const std::string &filter)
{
    std::vector<FileFilterEntry> entries;
    if (filter.empty())
        return entries;
    const std::vector<std::string> fields = split(filter, '|');
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        FileFilterEntry entry;
        entry.description = fields[i];
        for (const std::string &p : split(fields[i + 1], ';')) {
            const std::string pattern = trimmed(p);
            if (!pattern.empty())
                entry.patterns.push_back(pattern);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace quorvex
