// Text and time: narrow strings and service strings, time points and service date-times.
#pragma once

#include <OrvaneModuleIntegration/TimePoint.h>
#include <System/DateTime.h>
#include <System/Nullable.h>
#include <System/String.h>
#include <via/marshal/core.h>
#include <win32/CodePage.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <new>
#include <optional>
#include <string>
#include <string_view>

namespace via::marshal {

namespace detail {

inline constexpr std::u16string_view kSizeExceedsIntMax = u"Size of string exceeds INT_MAX.";
inline constexpr std::u16string_view kNullNotSupported = u"NULLPTR is not supported for this conversion.";
inline constexpr std::u16string_view kMultiByteToWideFailed =
    u"Conversion from MultiByte to WideChar failed.  Please check the content of the string and/or locale settings.";
inline constexpr std::u16string_view kWideToMultiByteFailed =
    u"Conversion from WideChar to MultiByte failed.  Please check the content of the string and/or locale settings.";

// 1970-01-01 00:00:00 UTC, built afresh on every call.
inline System::DateTime getEpoch() {
    return System::DateTime(1970, 1, 1, 0, 0, 0, System::DateTimeKind::Utc);
}

// Text up to this many bytes or units is converted in one pass into a stack buffer and then copied
// into its result: measuring it first would cost as much as converting it. A UTF-16 conversion never
// has more units than its text has bytes, and no page takes more than three bytes for a unit, so the
// buffers below always hold the result; should one not, the measured passes run and decide.
inline constexpr int kShortText = 256;
// Towards narrow text the measured path also zero-fills the result before converting into it, so the
// one-pass path pays off for longer text there.
inline constexpr int kShortUnits = 4096;
// Room beyond the longest result, which lets the converter finish text in whole vector-sized steps.
inline constexpr int kSlack = 32;

inline System::Handle<System::String> toServiceString(std::string_view narrow) {
    if (narrow.size() > static_cast<std::size_t>(INT_MAX))
        throw System::ArgumentOutOfRangeException(kSizeExceedsIntMax);
    const int n = static_cast<int>(narrow.size());
    if (n == 0) return System::gcnew<System::String>();

    if (n <= kShortText) {
        char16_t buffer[kShortText + kSlack];
        const int r =
            win32::MultiByteToWideChar(win32::CP_THREAD_ACP, 0, narrow.data(), n, buffer, kShortText + kSlack);
        if (r != 0) return System::gcnew<System::String>(std::u16string_view(buffer, static_cast<std::size_t>(r)));
    }

    // Measure, then convert; the buffer has room for the terminator the converter may write.
    const int w = win32::MultiByteToWideChar(win32::CP_THREAD_ACP, 0, narrow.data(), n, nullptr, 0);
    if (w == 0) throw System::ArgumentException(kMultiByteToWideFailed);
    if (w == INT_MAX) throw System::ArgumentOutOfRangeException(kSizeExceedsIntMax);

    // The buffer is the string's own storage, so the units are not copied a second time.
    int r = 0;
    System::Handle<System::String> text;
    try {
        text = System::String::Create(static_cast<std::size_t>(w), [&](char16_t* units) {
            r = win32::MultiByteToWideChar(win32::CP_THREAD_ACP, 0, narrow.data(), n, units, w + 1);
            // Units the converter left unwritten read as zeros, as in a zero-filled buffer.
            if (r > 0 && r < w) std::fill(units + r, units + w, u'\0');
        });
    } catch (const std::bad_alloc&) {
        throw System::InsufficientMemoryException();
    }
    if (r == 0 || r >= w + 1) throw System::ArgumentException(kMultiByteToWideFailed);
    return text;
}

inline std::string toNarrowString(const System::String& text) {
    const std::u16string_view units = text.View();
    const int length = static_cast<int>(units.size());
    if (length == 0) return std::string();

    if (length <= kShortUnits) {
        char buffer[3 * kShortUnits + kSlack];
        const int r = win32::WideCharToMultiByte(win32::CP_THREAD_ACP, win32::WC_NO_BEST_FIT_CHARS, units.data(),
                                                 length, buffer, static_cast<int>(sizeof buffer), nullptr, nullptr);
        if (r != 0) return std::string(buffer, static_cast<std::size_t>(r));
    }

    std::string narrow;
    const int b = win32::WideCharToMultiByte(win32::CP_THREAD_ACP, win32::WC_NO_BEST_FIT_CHARS, units.data(), length,
                                             nullptr, 0, nullptr, nullptr);
    if (b == 0) throw System::ArgumentException(kWideToMultiByteFailed);
    if (b == INT_MAX) throw System::ArgumentOutOfRangeException(kSizeExceedsIntMax);

    // Written straight into the result; the capacity includes the terminator slot the string owns.
    narrow.resize(static_cast<std::size_t>(b));
    const int r = win32::WideCharToMultiByte(win32::CP_THREAD_ACP, win32::WC_NO_BEST_FIT_CHARS, units.data(), length,
                                             narrow.data(), b + 1, nullptr, nullptr);
    if (r == 0 || r >= b + 1) throw System::ArgumentException(kWideToMultiByteFailed);
    narrow.resize(static_cast<std::size_t>(r));
    return narrow;
}

} // namespace detail

// Narrow text in the calling thread's ANSI code page to a service string; never null.
template <>
struct marshal_traits<System::Handle<System::String>, std::string_view> {
    static System::Handle<System::String> marshal(const std::string_view& from) {
        return detail::toServiceString(from);
    }
};

template <>
struct marshal_traits<System::Handle<System::String>, std::string> {
    static System::Handle<System::String> marshal(const std::string& from) { return detail::toServiceString(from); }
};

// A service string to narrow text; a null string is refused.
template <>
struct marshal_traits<std::string, System::Handle<System::String>> {
    static std::string marshal(const System::Handle<System::String>& from) {
        if (from == nullptr) throw System::ArgumentNullException(detail::kNullNotSupported);
        return detail::toNarrowString(*from);
    }
};

// A service string to optional narrow text; null gives no value, every other string (empty ones too)
// a value.
template <>
struct marshal_traits<std::optional<std::string>, System::Handle<System::String>> {
    static std::optional<std::string> marshal(const System::Handle<System::String>& input) {
        if (input == nullptr) return std::nullopt;
        return detail::toNarrowString(*input);
    }
};

namespace detail {
// A service string read into a record field: null and empty both give empty text.
inline std::string fieldText(const System::Handle<System::String>& value) {
    return marshal_as<std::optional<std::string>>(value).value_or(std::string());
}
} // namespace detail

// A time point to a UTC date-time; raises ArgumentOutOfRangeException outside the date-time's range.
template <>
struct marshal_traits<System::DateTime, TimePoint> {
    static System::DateTime marshal(const TimePoint& timePoint) {
        return detail::getEpoch().AddTicks(timePoint.time_since_epoch().count());
    }
};

// A date-time to a time point; local and unspecified values are taken as the machine's local time.
template <>
struct marshal_traits<TimePoint, System::DateTime> {
    static TimePoint marshal(const System::DateTime& dateTime) {
        return TimePoint(TimePoint::duration((dateTime.ToUniversalTime() - detail::getEpoch()).Ticks()));
    }
};

template <>
struct marshal_traits<std::optional<TimePoint>, System::Nullable<System::DateTime>> {
    static std::optional<TimePoint> marshal(const System::Nullable<System::DateTime>& input) {
        if (!input.HasValue()) return std::nullopt;
        return marshal_as<TimePoint>(input.Value());
    }
};

} // namespace via::marshal
