// Nullable<T>: a value type that may hold no value.
#pragma once

#include <System/Exceptions.h>

#include <optional>

namespace System {

template <class T>
class Nullable {
public:
    Nullable() = default;
    Nullable(const T& value) : value_(value) {}

    bool HasValue() const noexcept { return value_.has_value(); }
    const T& Value() const {
        if (!value_) throw InvalidOperationException(u"Nullable object must have a value.");
        return *value_;
    }

private:
    std::optional<T> value_;
};

} // namespace System
