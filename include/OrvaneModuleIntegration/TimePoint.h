// The time point that host and library exchange.
#pragma once

#include <chrono>
#include <cstdint>
#include <ratio>

// 100-nanosecond ticks since 1970-01-01 00:00:00 UTC, signed 64-bit; negative values lie before.
using TimePoint =
    std::chrono::time_point<std::chrono::system_clock, std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>>;
