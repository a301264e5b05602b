#include <System/DateTime.h>

#include <ctime>

namespace System {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;

// Days from 0001-01-01 to the given proleptic Gregorian date.
constexpr std::int64_t daysFromCivil(int year, int month, int day) noexcept {
    const std::int64_t y = year - 1;
    constexpr int cumulative[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return y * 365 + y / 4 - y / 100 + y / 400 + cumulative[month - 1] + (leap && month > 2 ? 1 : 0) +
           (day - 1);
}

constexpr bool isLeap(int year) noexcept { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

constexpr int daysInMonth(int year, int month) noexcept {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// 1970-01-01 as ticks from 0001-01-01.
constexpr std::int64_t kUnixEpochTicks = daysFromCivil(1970, 1, 1) * DateTime::TicksPerDay;

struct Civil {
    int year, month, day;
};

Civil civilFromDays(std::int64_t days) noexcept {
    // Walk 400-, 100-, 4- and 1-year cycles from 0001-01-01.
    std::int64_t n = days;
    const std::int64_t y400 = n / 146'097;
    n -= y400 * 146'097;
    std::int64_t y100 = n / 36'524;
    if (y100 == 4) y100 = 3;
    n -= y100 * 36'524;
    const std::int64_t y4 = n / 1'461;
    n -= y4 * 1'461;
    std::int64_t y1 = n / 365;
    if (y1 == 4) y1 = 3;
    n -= y1 * 365;
    Civil c{static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1), 1, 1};
    while (n >= daysInMonth(c.year, c.month)) {
        n -= daysInMonth(c.year, c.month);
        ++c.month;
    }
    c.day = static_cast<int>(n) + 1;
    return c;
}

} // namespace

DateTime::DateTime(std::int64_t ticks, DateTimeKind kind) : ticks_(ticks), kind_(kind) {
    if (ticks < 0 || ticks > MaxTicks) throw ArgumentOutOfRangeException(u"ticks");
}

DateTime::DateTime(int year, int month, int day, int hour, int minute, int second, DateTimeKind kind)
    : kind_(kind) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        throw ArgumentOutOfRangeException(u"", u"Year, Month, and Day parameters describe an un-representable DateTime.");
    ticks_ = daysFromCivil(year, month, day) * TicksPerDay +
             (std::int64_t{hour} * 3600 + minute * 60 + second) * TicksPerSecond;
}

DateTime DateTime::AddTicks(std::int64_t value) const {
    std::int64_t result = 0;
    if (__builtin_add_overflow(ticks_, value, &result) || result < 0 || result > MaxTicks)
        throw ArgumentOutOfRangeException(u"value",
                                          u"The added or subtracted value results in an un-representable DateTime.");
    return DateTime(result, kind_);
}

DateTime DateTime::ToUniversalTime() const {
    if (kind_ == DateTimeKind::Utc) return *this;
    // Read the wall-clock value as the machine's local time at that date (mktime applies the zone
    // rules, daylight saving included) and keep the sub-second ticks as they are.
    const std::int64_t sinceEpoch = ticks_ - kUnixEpochTicks;
    std::int64_t seconds = sinceEpoch / TicksPerSecond;
    std::int64_t fraction = sinceEpoch % TicksPerSecond;
    if (fraction < 0) {
        fraction += TicksPerSecond;
        --seconds;
    }
    const std::time_t wall = static_cast<std::time_t>(seconds);
    std::tm fields{};
    gmtime_r(&wall, &fields);
    fields.tm_isdst = -1;
    const std::time_t utc = mktime(&fields);
    const std::int64_t utcTicks = static_cast<std::int64_t>(utc) * TicksPerSecond + fraction + kUnixEpochTicks;
    if (utcTicks < 0 || utcTicks > MaxTicks)
        return DateTime(utcTicks < 0 ? 0 : MaxTicks, DateTimeKind::Utc);
    return DateTime(utcTicks, DateTimeKind::Utc);
}

int DateTime::Year() const noexcept { return civilFromDays(ticks_ / TicksPerDay).year; }
int DateTime::Month() const noexcept { return civilFromDays(ticks_ / TicksPerDay).month; }
int DateTime::Day() const noexcept { return civilFromDays(ticks_ / TicksPerDay).day; }
int DateTime::Hour() const noexcept { return static_cast<int>(ticks_ % TicksPerDay / (3600 * TicksPerSecond)); }
int DateTime::Minute() const noexcept { return static_cast<int>(ticks_ % (3600 * TicksPerSecond) / (60 * TicksPerSecond)); }
int DateTime::Second() const noexcept { return static_cast<int>(ticks_ % (60 * TicksPerSecond) / TicksPerSecond); }

static_assert(kSecondsPerDay * DateTime::TicksPerSecond == DateTime::TicksPerDay);

} // namespace System
