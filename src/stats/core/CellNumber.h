#pragma once

#include <optional>
#include <string_view>

namespace quorvex {

// What a cell text reads as when a column is summed or charted. Only ASCII
// forms are taken; blanks around the text are ignored.
class CellNumber {
public:
    static constexpr int FirstYear = 1800;
    static constexpr int LastYear = 2199;

    // A year from FirstYear to LastYear alone ("1999"), or the year of a date
    // written "1999-05", "1999-05-12", "12.05.1999", "12/05/1999" or "12-05-1999".
    static std::optional<int> year(std::string_view text);

    // A decimal number: optional sign, digits, one optional fraction after "."
    // or ",". A comma before exactly three digits ("1,234") may group
    // thousands or mark a fraction, so it is no number at all.
    static std::optional<double> number(std::string_view text);

    // A length of time. `hours:minutes` tells how "1:35" reads; "1:35:20" is
    // always hours, minutes and seconds.
    struct Duration {
        double minutes = 0;
        // "a:bb": minutes is a*60+bb when read as hours:minutes; `colonFirst`
        // is a and `colonSecond` bb, for the reader who decides otherwise.
        bool twoPartColon = false;
        long long colonFirst = 0;
        int colonSecond = 0;
    };
    // "95 min", "95min", "95'", "1 h 35 min", "1h35m", "1h 35", "2 hours",
    // "45 sec", "1:35", "1:35:20". A bare number is not a duration.
    static std::optional<Duration> duration(std::string_view text);
    // The minutes of a two-part colon form under the column's reading.
    static double colonMinutes(const Duration &d, bool hoursMinutes);
};

} // namespace quorvex
