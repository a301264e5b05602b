#include <System/DateTime.h>

#include <ctime>

namespace System {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;

struct LocalOffset {
    long seconds; // east of UTC
    bool daylight;
};

LocalOffset offsetAt(std::time_t utc) {
    std::tm fields{};
    localtime_r(&utc, &fields);
    return {fields.tm_gmtoff, fields.tm_isdst > 0};
}

// Wall-clock seconds of the machine's zone (counted like seconds since 1970 UTC) to UTC seconds. A
// time the clocks pass twice is read as standard time, and one they skip is moved by the standard
// offset, as the managed runtime does. mktime is not used: it settles such times by a guess it keeps
// from earlier calls in the process, so the same value could convert differently from call to call.
std::int64_t localToUtcSeconds(std::int64_t wall) {
    // No offset reaches a day, so the offsets a day either side are the only ones the time can have.
    const LocalOffset before = offsetAt(static_cast<std::time_t>(wall - kSecondsPerDay));
    const LocalOffset after = offsetAt(static_cast<std::time_t>(wall + kSecondsPerDay));
    const auto holds = [wall](const LocalOffset& o) {
        return offsetAt(static_cast<std::time_t>(wall - o.seconds)).seconds == o.seconds;
    };
    const bool beforeHolds = holds(before), afterHolds = holds(after);
    if (beforeHolds != afterHolds) return wall - (beforeHolds ? before : after).seconds;
    const LocalOffset& standard = before.daylight && !after.daylight ? after : before;
    return wall - standard.seconds;
}

using detail::daysFromCivil;
using detail::daysInMonth;

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

namespace detail {
void throwUnrepresentableDate() {
    throw ArgumentOutOfRangeException(u"", u"Year, Month, and Day parameters describe an un-representable DateTime.");
}
} // namespace detail

DateTime DateTime::AddTicks(std::int64_t value) const {
    std::int64_t result = 0;
    if (__builtin_add_overflow(ticks_, value, &result) || result < 0 || result > MaxTicks)
        throw ArgumentOutOfRangeException(u"value",
                                          u"The added or subtracted value results in an un-representable DateTime.");
    return DateTime(result, kind_);
}

DateTime DateTime::localToUniversal() const {
    // Read the wall-clock value as the machine's local time at that date (the zone's rules, daylight
    // saving included) and keep the sub-second ticks as they are.
    const std::int64_t sinceEpoch = ticks_ - kUnixEpochTicks;
    std::int64_t seconds = sinceEpoch / TicksPerSecond;
    std::int64_t fraction = sinceEpoch % TicksPerSecond;
    if (fraction < 0) {
        fraction += TicksPerSecond;
        --seconds;
    }
    // As mktime did, take up a TZ changed since the last conversion.
    tzset();
    const std::int64_t utcTicks = localToUtcSeconds(seconds) * TicksPerSecond + fraction + kUnixEpochTicks;
    if (utcTicks < 0 || utcTicks > MaxTicks) return DateTime(utcTicks < 0 ? 0 : MaxTicks, DateTimeKind::Utc);
    return DateTime(utcTicks, DateTimeKind::Utc);
}

int DateTime::Year() const noexcept {
    return civilFromDays(ticks_ / TicksPerDay).year;
}
int DateTime::Month() const noexcept {
    return civilFromDays(ticks_ / TicksPerDay).month;
}
int DateTime::Day() const noexcept {
    return civilFromDays(ticks_ / TicksPerDay).day;
}
int DateTime::Hour() const noexcept {
    return static_cast<int>(ticks_ % TicksPerDay / (3600 * TicksPerSecond));
}
int DateTime::Minute() const noexcept {
    return static_cast<int>(ticks_ % (3600 * TicksPerSecond) / (60 * TicksPerSecond));
}
int DateTime::Second() const noexcept {
    return static_cast<int>(ticks_ % (60 * TicksPerSecond) / TicksPerSecond);
}

static_assert(kSecondsPerDay * DateTime::TicksPerSecond == DateTime::TicksPerDay);

} // namespace System
