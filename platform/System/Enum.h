// System::Enum: enumerator names of managed enumerations.
#pragma once

#include <System/String.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace System {

// Each managed enumeration specialises EnumNames next to its declaration with
//   static constexpr std::array<std::pair<E, std::u16string_view>, N> entries{...};
// which is what the runtime's metadata gives for it.
template <class E>
struct EnumNames;

template <class E>
concept ManagedEnum = std::is_enum_v<E> && requires {
    EnumNames<E>::entries;
};

class Enum {
public:
    // The enumerator's name; a value without an enumerator gives its decimal number. Like the runtime,
    // which keeps an enumeration's names, it hands out the same string for an enumerator every time.
    template <ManagedEnum E>
    static Handle<String> ToString(E value) {
        const int k = indexOf(value);
        if (k >= 0) return names<E>()[static_cast<std::size_t>(k)];
        return gcnew<String>(decimal(static_cast<std::int64_t>(value)));
    }

    // The enumerator with exactly this name (case-sensitive). A null string raises
    // ArgumentNullException, anything else that is not a name ArgumentException.
    template <ManagedEnum E>
    static E Parse(const Handle<String>& value) {
        if (value == nullptr) throw ArgumentNullException(u"value");
        const std::u16string_view text = value->View();
        for (const auto& [entryValue, name] : EnumNames<E>::entries)
            if (name == text) return entryValue;
        throw ArgumentException(notFound(text), u"value");
    }

    template <ManagedEnum E>
    static bool IsDefined(E value) noexcept {
        for (const auto& entry : EnumNames<E>::entries)
            if (entry.first == value) return true;
        return false;
    }

private:
    // The first entry with this value, or -1. Values spread over a small range are looked up in a table
    // built at compile time, others by a scan.
    template <ManagedEnum E>
    static int indexOf(E value) {
        constexpr auto& entries = EnumNames<E>::entries;
        constexpr auto bounds = [] {
            std::pair<std::int64_t, std::int64_t> b{INT64_MAX, INT64_MIN};
            for (const auto& entry : entries) {
                b.first = std::min(b.first, static_cast<std::int64_t>(entry.first));
                b.second = std::max(b.second, static_cast<std::int64_t>(entry.first));
            }
            return b;
        }();
        constexpr std::int64_t span = entries.size() == 0 ? 0 : bounds.second - bounds.first + 1;
        if constexpr (span > 0 && span <= 4096 && entries.size() < 32768) {
            static constexpr auto slots = [] {
                std::array<std::int16_t, static_cast<std::size_t>(span)> t{};
                t.fill(-1);
                for (std::size_t k = 0; k < entries.size(); ++k) {
                    auto& slot =
                        t[static_cast<std::size_t>(static_cast<std::int64_t>(entries[k].first) - bounds.first)];
                    if (slot < 0) slot = static_cast<std::int16_t>(k);
                }
                return t;
            }();
            const auto v = static_cast<std::int64_t>(value);
            if (v < bounds.first || v > bounds.second) return -1;
            return slots[static_cast<std::size_t>(v - bounds.first)];
        } else {
            for (std::size_t k = 0; k < entries.size(); ++k)
                if (entries[k].first == value) return static_cast<int>(k);
            return -1;
        }
    }

    template <ManagedEnum E>
    static const auto& names() {
        static const auto strings = [] {
            std::array<Handle<String>, EnumNames<E>::entries.size()> built;
            for (std::size_t k = 0; k < built.size(); ++k) built[k] = gcnew<String>(EnumNames<E>::entries[k].second);
            return built;
        }();
        return strings;
    }

    SYSTEM_API static std::u16string decimal(std::int64_t value);
    SYSTEM_API static std::u16string notFound(std::u16string_view text);
};

} // namespace System
