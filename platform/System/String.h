// The managed string: immutable UTF-16 text, always used through Handle<String>.
#pragma once

#include <System/Handle.h>

#include <cstddef>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace System {

namespace detail {

// Allocates a String's shared block with room for its units (and a terminator slot) right after it,
// and reports where they start, so a string costs one allocation, as a managed string does.
template <class T>
struct StringAllocator {
    using value_type = T;

    StringAllocator(std::size_t units, char16_t** storage) noexcept : units_(units), storage_(storage) {}
    template <class U>
    StringAllocator(const StringAllocator<U>& other) noexcept : units_(other.units_), storage_(other.storage_) {}

    T* allocate(std::size_t n) {
        constexpr std::size_t unit = sizeof(char16_t);
        const std::size_t head = (n * sizeof(T) + unit - 1) / unit * unit;
        if (units_ >= (std::numeric_limits<std::size_t>::max() - head) / unit) throw std::bad_alloc();
        void* block = ::operator new(head + (units_ + 1) * unit);
        *storage_ = reinterpret_cast<char16_t*>(static_cast<char*>(block) + head);
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) noexcept { ::operator delete(block); }

    template <class U>
    bool operator==(const StringAllocator<U>&) const noexcept {
        return true;
    }

    std::size_t units_;
    char16_t** storage_;
};

} // namespace detail

class SYSTEM_API String {
    // Lets only String build strings whose units live in their own allocation.
    class Key {
        friend class String;
        Key() = default;
    };

public:
    String() noexcept : view_(owned_) {}
    explicit String(std::u16string_view units) : owned_(units), view_(owned_) {}
    explicit String(std::u16string&& units) noexcept : owned_(std::move(units)), view_(owned_) {}
    String(const String& other) : String(other.view_) {}
    String& operator=(const String& other) {
        if (this != &other) {
            owned_ = other.view_;
            view_ = owned_;
        }
        return *this;
    }
    ~String() = default;

    // Used by Create only: the allocator has stored where the units go before the string is built.
    String(Key, char16_t* const* storage, std::size_t length) noexcept : view_(*storage, length) {}

    std::u16string_view View() const noexcept { return view_; }
    int Length() const noexcept { return static_cast<int>(view_.size()); }

    friend bool operator==(const String& a, const String& b) noexcept { return a.view_ == b.view_; }

    // A new string of `length` units, written by `init(char16_t* units)` before anyone else sees the
    // string (units[length] may be written too, as a terminator slot). One allocation.
    template <class Init>
    static Handle<String> Create(std::size_t length, Init&& init) {
        char16_t* storage = nullptr;
        auto object =
            std::allocate_shared<String>(detail::StringAllocator<String>(length, &storage), Key{}, &storage, length);
        std::forward<Init>(init)(storage);
        return Handle<String>(std::move(object));
    }

    // A copy of `units` in one allocation.
    static Handle<String> Copy(std::u16string_view units) {
        return Create(units.size(), [units](char16_t* storage) { units.copy(storage, units.size()); });
    }

private:
    std::u16string owned_; // the units of a string built by a constructor
    std::u16string_view view_;
};

// gcnew<String>(text) copies the text into the string's own allocation; a moved-in std::u16string
// keeps its buffer.
template <>
struct Activator<String> {
    template <class... Args>
    static Handle<String> create(Args&&... args) {
        if constexpr (sizeof...(Args) == 1 && (std::is_convertible_v<Args&&, std::u16string_view> && ...) &&
                      !(std::is_same_v<Args, std::u16string> && ...))
            return String::Copy(std::u16string_view(std::forward<Args>(args)...));
        else
            return Handle<String>(std::make_shared<String>(std::forward<Args>(args)...));
    }
};

} // namespace System
