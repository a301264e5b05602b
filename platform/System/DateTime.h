// System::DateTime and System::TimeSpan: 100-ns ticks from 0001-01-01 00:00:00 with a kind.
#pragma once

#include <System/Exceptions.h>

#include <cstdint>

namespace System {

enum class DateTimeKind : int { Unspecified = 0, Utc = 1, Local = 2 };

class TimeSpan {
public:
    constexpr TimeSpan() noexcept = default;
    constexpr explicit TimeSpan(std::int64_t ticks) noexcept : ticks_(ticks) {}
    constexpr std::int64_t Ticks() const noexcept { return ticks_; }
    friend constexpr bool operator==(TimeSpan, TimeSpan) noexcept = default;

private:
    std::int64_t ticks_ = 0;
};

namespace detail {
[[noreturn]] SYSTEM_API void throwUnrepresentableDate();

constexpr bool isLeapYear(int year) noexcept {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr int daysInMonth(int year, int month) noexcept {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Days from 0001-01-01 to the given proleptic Gregorian date.
constexpr std::int64_t daysFromCivil(int year, int month, int day) noexcept {
    constexpr int cumulative[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const std::int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400 + cumulative[month - 1] + (isLeapYear(year) && month > 2 ? 1 : 0) +
           (day - 1);
}
} // namespace detail

class SYSTEM_API DateTime {
public:
    static constexpr std::int64_t TicksPerSecond = 10'000'000;
    static constexpr std::int64_t TicksPerDay = 86'400 * TicksPerSecond;
    // 9999-12-31 23:59:59.9999999
    static constexpr std::int64_t MaxTicks = 3'652'059 * TicksPerDay - 1;

    constexpr DateTime() noexcept = default;
    // Raises ArgumentOutOfRangeException outside 0001-01-01 ... 9999-12-31.
    DateTime(std::int64_t ticks, DateTimeKind kind);
    // Inline, so that a constant date (the epoch of every time conversion) costs nothing to build.
    constexpr DateTime(int year, int month, int day, int hour, int minute, int second,
                       DateTimeKind kind = DateTimeKind::Unspecified)
        : kind_(kind) {
        if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > detail::daysInMonth(year, month) ||
            hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
            detail::throwUnrepresentableDate();
        ticks_ = detail::daysFromCivil(year, month, day) * TicksPerDay +
                 (std::int64_t{hour} * 3600 + minute * 60 + second) * TicksPerSecond;
    }

    constexpr std::int64_t Ticks() const noexcept { return ticks_; }
    constexpr DateTimeKind Kind() const noexcept { return kind_; }

    // Raises ArgumentOutOfRangeException when the result leaves the representable range.
    DateTime AddTicks(std::int64_t value) const;
    // Local and unspecified values are read as the machine's local time at that date.
    DateTime ToUniversalTime() const { return kind_ == DateTimeKind::Utc ? *this : localToUniversal(); }

    int Year() const noexcept;
    int Month() const noexcept;
    int Day() const noexcept;
    int Hour() const noexcept;
    int Minute() const noexcept;
    int Second() const noexcept;

    friend constexpr TimeSpan operator-(const DateTime& a, const DateTime& b) noexcept {
        return TimeSpan(a.ticks_ - b.ticks_);
    }
    // Like the runtime, equality compares the instant's ticks and ignores the kind.
    friend constexpr bool operator==(const DateTime& a, const DateTime& b) noexcept { return a.ticks_ == b.ticks_; }

private:
    DateTime localToUniversal() const;

    std::int64_t ticks_ = 0;
    DateTimeKind kind_ = DateTimeKind::Unspecified;
};

} // namespace System
