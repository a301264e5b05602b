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

class SYSTEM_API DateTime {
public:
    static constexpr std::int64_t TicksPerSecond = 10'000'000;
    static constexpr std::int64_t TicksPerDay = 86'400 * TicksPerSecond;
    // 9999-12-31 23:59:59.9999999
    static constexpr std::int64_t MaxTicks = 3'652'059 * TicksPerDay - 1;

    constexpr DateTime() noexcept = default;
    // Raises ArgumentOutOfRangeException outside 0001-01-01 ... 9999-12-31.
    DateTime(std::int64_t ticks, DateTimeKind kind);
    DateTime(int year, int month, int day, int hour, int minute, int second,
             DateTimeKind kind = DateTimeKind::Unspecified);

    constexpr std::int64_t Ticks() const noexcept { return ticks_; }
    constexpr DateTimeKind Kind() const noexcept { return kind_; }

    // Raises ArgumentOutOfRangeException when the result leaves the representable range.
    DateTime AddTicks(std::int64_t value) const;
    // Local and unspecified values are read as the machine's local time at that date.
    DateTime ToUniversalTime() const;

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
    friend constexpr bool operator==(const DateTime& a, const DateTime& b) noexcept {
        return a.ticks_ == b.ticks_;
    }

private:
    std::int64_t ticks_ = 0;
    DateTimeKind kind_ = DateTimeKind::Unspecified;
};

} // namespace System
