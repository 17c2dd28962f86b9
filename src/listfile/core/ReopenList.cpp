#include "ReopenList.h"

#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"

#include <algorithm>
#include <optional>

namespace quorvex {

namespace {

// Far more than five captions of the longest kept length; a larger file is damaged.
constexpr std::size_t MaxFileBytes = 1 << 20;
constexpr int DropPasses = 7;

class TextReader {
public:
    explicit TextReader(const std::string &text) : m_text(text) {}

    // A decimal integer after any white space, as the settings files write it.
    bool readNumber(long long &value)
    {
        while (m_pos < m_text.size() && isSpace(m_text[m_pos]))
            ++m_pos;
        bool negative = false;
        if (m_pos < m_text.size() && (m_text[m_pos] == '-' || m_text[m_pos] == '+'))
            negative = m_text[m_pos++] == '-';
        const std::size_t start = m_pos;
        long long v = 0;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            if (m_pos - start >= 12)
                return false;
            v = v * 10 + (m_text[m_pos++] - '0');
        }
        if (m_pos == start)
            return false;
        value = negative ? -v : v;
        return true;
    }
    bool skipOne()
    {
        if (m_pos >= m_text.size())
            return false;
        ++m_pos;
        return true;
    }
    // Up to `count` characters, fewer where the text ends.
    std::string take(std::size_t count)
    {
        const std::size_t n = std::min(count, m_text.size() - m_pos);
        std::string s = m_text.substr(m_pos, n);
        m_pos += n;
        return s;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

    const std::string &m_text;
    std::size_t m_pos = 0;
};

} // namespace

const std::string &ReopenList::caption(int index) const
{
    static const std::string none;
    return index >= 0 && index < MaxEntries ? m_captions[static_cast<std::size_t>(index)] : none;
}

bool ReopenList::visible(int index) const
{
    return index >= 0 && index < MaxEntries && m_visible[static_cast<std::size_t>(index)];
}

std::string ReopenList::pathOf(int item) const
{
    return visible(item - 1) ? caption(item - 1) : std::string();
}

void ReopenList::AddToReopenMenu(const std::string &path, bool trackCurrentFile)
{
    if (!trackCurrentFile)
        return;
    for (const std::string &c : m_captions)
        if (c == path)
            return;
    const int n = m_count;
    if (n == 0) {
        m_captions[0] = path;
        m_visible[0] = true;
    } else {
        const int top = std::min(n, MaxEntries - 1);
        for (int k = top; k >= 1; --k)
            m_captions[static_cast<std::size_t>(k)] = m_captions[static_cast<std::size_t>(k - 1)];
        m_captions[0] = path;
        m_visible[static_cast<std::size_t>(top)] = true;
    }
    if (n < MaxEntries)
        ++m_count;
}

bool ReopenList::ClearReopenMenu(MessageService &messages)
{
    if (messages.confirm(ClearQuestion) != MessageAnswer::Yes)
        return false;
    clear();
    return true;
}

void ReopenList::clear()
{
    m_count = 0;
    m_captions.fill(std::string());
    m_visible.fill(false);
}

std::string ReopenList::serialize() const
{
    std::string out = std::to_string(m_count) + "\n";
    for (const std::string &c : m_captions)
        out += std::to_string(c.size()) + " " + c + "\n";
    return out;
}

void ReopenList::parse(const std::string &text)
{
    clear();
    TextReader in(text);
    long long count = 0;
    if (!in.readNumber(count))
        return;
    // A hand-edited count outside the five items would show entries that do not exist.
    m_count = count < 0 ? 0 : (count > MaxEntries ? MaxEntries : static_cast<int>(count));
    for (std::string &c : m_captions) {
        long long length = 0;
        if (!in.readNumber(length) || length < 0 || !in.skipOne())
            return;
        c = in.take(static_cast<std::size_t>(length));
        if (c.size() > MaxCaptionLength)
            c.resize(MaxCaptionLength);
    }
}

bool ReopenList::WriteReopenFile(const std::string &path, MessageService &messages) const
{
    // A protected file is left as it is, as a plain truncating write would.
    if ((FileSystem::exists(path) && FileSystem::isReadOnly(path)) || !FileSystem::writeFileAtomic(path, serialize())) {
        messages.error(WriteFailedMessage);
        return false;
    }
    return true;
}

void ReopenList::ReadReopenFile(const std::string &path, const FileExists &exists)
{
    if (!FileSystem::isRegularFile(path))
        return;
    const std::optional<std::string> text = FileSystem::readFilePrefix(path, MaxFileBytes);
    if (!text)
        return;
    parse(*text);
    dropMissing(exists ? exists : FileExists([](const std::string &p) { return FileSystem::isRegularFile(p); }));
}

void ReopenList::dropMissing(const FileExists &exists)
{
    m_visible.fill(false);
    for (int pass = 0; pass < DropPasses; ++pass) {
        for (int k = 0; k < MaxEntries && k < m_count; ++k) {
            if (exists(m_captions[static_cast<std::size_t>(k)])) {
                m_visible[static_cast<std::size_t>(k)] = true;
                continue;
            }
            for (int j = k; j < MaxEntries - 1; ++j)
                m_captions[static_cast<std::size_t>(j)] = m_captions[static_cast<std::size_t>(j + 1)];
            m_captions[MaxEntries - 1].clear();
            m_visible[static_cast<std::size_t>(k)] = false;
        }
    }
    m_count = 0;
    for (int k = MaxEntries; k >= 1; --k) {
        if (m_visible[static_cast<std::size_t>(k - 1)]) {
            m_count = k;
            break;
        }
    }
}

} // namespace quorvex
