// Managed handles (T^): nullable, shared, and failing like the runtime when dereferenced while null.
#pragma once

#include <System/Exceptions.h>

#include <cstddef>
#include <memory>
#include <utility>

namespace System {

namespace detail {
[[noreturn]] SYSTEM_API void throwNullReference();
}

template <class T>
class Handle {
public:
    Handle() noexcept = default;
    Handle(std::nullptr_t) noexcept {}
    explicit Handle(std::shared_ptr<T> object) noexcept : object_(std::move(object)) {}

    // A handle to a derived class converts to a handle to its base, as T^ does.
    template <class U>
    requires std::is_convertible_v<U*, T*> Handle(const Handle<U>& other)
    noexcept : object_(other.shared()) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> Handle(Handle<U>&& other)
    noexcept : object_(std::move(other).shared()) {}

    T* operator->() const {
        if (!object_) detail::throwNullReference();
        return object_.get();
    }
    T& operator*() const {
        if (!object_) detail::throwNullReference();
        return *object_;
    }

    explicit operator bool() const noexcept { return static_cast<bool>(object_); }
    T* get() const noexcept { return object_.get(); }

    const std::shared_ptr<T>& shared() const& noexcept { return object_; }
    std::shared_ptr<T> shared() && noexcept { return std::move(object_); }

    friend bool operator==(const Handle& h, std::nullptr_t) noexcept { return !h.object_; }
    template <class U>
    friend bool operator==(const Handle& a, const Handle<U>& b) noexcept {
        return a.get() == b.get();
    }

private:
    std::shared_ptr<T> object_;
};

// How gcnew creates a T. A type may specialise it to allocate itself differently (String keeps its
// units in the object's own allocation).
template <class T>
struct Activator {
    template <class... Args>
    static Handle<T> create(Args&&... args) {
        return Handle<T>(std::make_shared<T>(std::forward<Args>(args)...));
    }
};

// Creates a managed object; the equivalent of `gcnew T(args...)`.
template <class T, class... Args>
Handle<T> gcnew(Args&&... args) {
    return Activator<T>::create(std::forward<Args>(args)...);
}

} // namespace System
