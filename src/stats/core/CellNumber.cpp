#include "CellNumber.h"

#include <cstdlib>
#include <string>

namespace quorvex {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimmed(std::string_view t)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    return t;
}

// Digits from `pos`; false when there are none or more than `maxDigits`.
bool takeDigits(std::string_view t, std::size_t &pos, std::size_t maxDigits, long long &value, std::size_t &count)
{
    value = 0;
    count = 0;
    while (pos < t.size() && isDigit(t[pos])) {
        if (++count > maxDigits)
            return false;
        value = value * 10 + (t[pos] - '0');
        ++pos;
    }
    return count > 0;
}

std::optional<int> yearValue(long long v)
{
    if (v < CellNumber::FirstYear || v > CellNumber::LastYear)
        return std::nullopt;
    return static_cast<int>(v);
}

// An unsigned decimal with an optional fraction after "." or ",", read from
// `pos`. Long digit runs are refused: no cell of a collection needs them,
// and they would lose their exactness.
bool takeDecimal(std::string_view t, std::size_t &pos, double &value)
{
    long long whole = 0;
    std::size_t digits = 0;
    if (!takeDigits(t, pos, 15, whole, digits))
        return false;
    value = static_cast<double>(whole);
    if (pos + 1 < t.size() && (t[pos] == '.' || t[pos] == ',') && isDigit(t[pos + 1])) {
        const bool comma = t[pos] == ',';
        std::size_t p = pos + 1;
        long long fraction = 0;
        std::size_t fractionDigits = 0;
        if (!takeDigits(t, p, 15, fraction, fractionDigits))
            return false;
        if (comma && fractionDigits == 3)
            return false;
        double scale = 1;
        for (std::size_t i = 0; i < fractionDigits; ++i)
            scale *= 10;
        value += static_cast<double>(fraction) / scale;
        pos = p;
    }
    return true;
}

// Minutes in one unit word, or 0 when the word is no unit of time.
double unitMinutes(const std::string &word)
{
    if (word == "h" || word == "hr" || word == "hrs" || word == "hour" || word == "hours")
        return 60;
    if (word == "m" || word == "min" || word == "mins" || word == "minute" || word == "minutes" || word == "'")
        return 1;
    if (word == "s" || word == "sec" || word == "secs" || word == "second" || word == "seconds" || word == "\"")
        return 1.0 / 60;
    return 0;
}

} // namespace

std::optional<int> CellNumber::year(std::string_view text)
{
    const std::string_view t = trimmed(text);
    std::size_t pos = 0;
    long long first = 0;
    std::size_t n = 0;
    if (!takeDigits(t, pos, 4, first, n))
        return std::nullopt;
    if (pos == t.size())
        return n == 4 ? yearValue(first) : std::nullopt;
    const char sep = t[pos];
    if (n == 4) {
        // 1999-05 or 1999-05-12
        if (sep != '-')
            return std::nullopt;
        long long month = 0;
        ++pos;
        if (!takeDigits(t, pos, 2, month, n) || month < 1 || month > 12)
            return std::nullopt;
        if (pos < t.size()) {
            long long day = 0;
            if (t[pos] != '-' || !takeDigits(t, ++pos, 2, day, n) || day < 1 || day > 31 || pos != t.size())
                return std::nullopt;
        }
        return yearValue(first);
    }
    // 12.05.1999, 12/05/1999, 12-05-1999
    if (n > 2 || first < 1 || first > 31 || (sep != '.' && sep != '/' && sep != '-'))
        return std::nullopt;
    long long second = 0;
    ++pos;
    if (!takeDigits(t, pos, 2, second, n) || second < 1 || second > 31 || pos >= t.size() || t[pos] != sep)
        return std::nullopt;
    if (first > 12 && second > 12)
        return std::nullopt;
    long long y = 0;
    ++pos;
    if (!takeDigits(t, pos, 4, y, n) || n != 4 || pos != t.size())
        return std::nullopt;
    return yearValue(y);
}

std::optional<double> CellNumber::number(std::string_view text)
{
    const std::string_view t = trimmed(text);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < t.size() && (t[pos] == '-' || t[pos] == '+')) {
        negative = t[pos] == '-';
        ++pos;
    }
    double value = 0;
    if (!takeDecimal(t, pos, value) || pos != t.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<CellNumber::Duration> CellNumber::duration(std::string_view text)
{
    const std::string_view t = trimmed(text);
    Duration d;
    // The colon forms.
    if (t.find(':') != std::string_view::npos) {
        std::size_t pos = 0;
        long long a = 0, b = 0, c = 0;
        std::size_t n = 0;
        if (!takeDigits(t, pos, 9, a, n) || pos >= t.size() || t[pos] != ':')
            return std::nullopt;
        ++pos;
        if (!takeDigits(t, pos, 2, b, n) || n != 2 || b > 59)
            return std::nullopt;
        if (pos == t.size()) {
            d.twoPartColon = true;
            d.colonFirst = a;
            d.colonSecond = static_cast<int>(b);
            d.minutes = colonMinutes(d, true);
            return d;
        }
        if (t[pos] != ':')
            return std::nullopt;
        ++pos;
        if (!takeDigits(t, pos, 2, c, n) || n != 2 || c > 59 || pos != t.size())
            return std::nullopt;
        d.minutes = static_cast<double>(a) * 60 + static_cast<double>(b) + static_cast<double>(c) / 60;
        return d;
    }
    // Numbers each followed by a unit; after hours a bare last number is minutes.
    std::size_t pos = 0;
    double lastUnit = 0;
    int parts = 0;
    while (pos < t.size()) {
        while (pos < t.size() && t[pos] == ' ')
            ++pos;
        if (pos == t.size())
            break;
        double value = 0;
        if (!takeDecimal(t, pos, value))
            return std::nullopt;
        while (pos < t.size() && t[pos] == ' ')
            ++pos;
        std::string word;
        if (pos < t.size() && (t[pos] == '\'' || t[pos] == '"')) {
            word = t[pos++];
        } else {
            while (pos < t.size() && word.size() < 8 && ((t[pos] >= 'a' && t[pos] <= 'z') || (t[pos] >= 'A' && t[pos] <= 'Z')))
                word += lower(t[pos++]);
            if (pos < t.size() && t[pos] == '.' && !word.empty())
                ++pos;
        }
        double unit = word.empty() ? 0 : unitMinutes(word);
        if (word.empty() && lastUnit == 60 && pos == t.size())
            unit = 1;
        // Units run from larger to smaller, each once: "1 h 35 min".
        if (unit == 0 || (lastUnit != 0 && unit >= lastUnit))
            return std::nullopt;
        d.minutes += value * unit;
        lastUnit = unit;
        ++parts;
    }
    if (parts == 0)
        return std::nullopt;
    return d;
}

double CellNumber::colonMinutes(const Duration &d, bool hoursMinutes)
{
    if (!d.twoPartColon)
        return d.minutes;
    return hoursMinutes ? static_cast<double>(d.colonFirst) * 60 + d.colonSecond
                        : static_cast<double>(d.colonFirst) + d.colonSecond / 60.0;
}

} // namespace quorvex
