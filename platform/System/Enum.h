// System::Enum: enumerator names of managed enumerations.
#pragma once

#include <System/String.h>

#include <array>
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
concept ManagedEnum = std::is_enum_v<E> && requires { EnumNames<E>::entries; };

class Enum {
public:
    // The enumerator's name; a value without an enumerator gives its decimal number.
    template <ManagedEnum E>
    static Handle<String> ToString(E value) {
        for (const auto& [entryValue, name] : EnumNames<E>::entries)
            if (entryValue == value) return gcnew<String>(name);
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
    SYSTEM_API static std::u16string decimal(std::int64_t value);
    SYSTEM_API static std::u16string notFound(std::u16string_view text);
};

} // namespace System
