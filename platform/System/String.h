// The managed string: immutable UTF-16 text, always used through Handle<String>.
#pragma once

#include <System/Handle.h>

#include <string>
#include <string_view>

namespace System {

class SYSTEM_API String {
public:
    String() = default;
    explicit String(std::u16string_view units) : units_(units) {}
    explicit String(std::u16string&& units) noexcept : units_(std::move(units)) {}

    std::u16string_view View() const noexcept { return units_; }
    int Length() const noexcept { return static_cast<int>(units_.size()); }

    friend bool operator==(const String& a, const String& b) noexcept {
        return a.units_ == b.units_;
    }

private:
    std::u16string units_;
};

} // namespace System
