// System::Collections::Generic::List<T>, used through Handle<List<T>>.
#pragma once

#include <System/Exceptions.h>

#include <vector>

namespace System::Collections::Generic {

template <class T>
class List {
public:
    List() = default;
    explicit List(int capacity) {
        if (capacity < 0) throw ArgumentOutOfRangeException(u"capacity");
        items_.reserve(static_cast<std::size_t>(capacity));
    }

    void Add(const T& item) { items_.push_back(item); }
    void Add(T&& item) { items_.push_back(std::move(item)); }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    int Capacity() const noexcept { return static_cast<int>(items_.capacity()); }

    const T& operator[](int index) const { return items_[checked(index)]; }
    T& operator[](int index) { return items_[checked(index)]; }

    void RemoveAt(int index) { items_.erase(items_.begin() + checked(index)); }
    void Clear() noexcept { items_.clear(); }

    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }
    auto begin() noexcept { return items_.begin(); }
    auto end() noexcept { return items_.end(); }

private:
    std::size_t checked(int index) const {
        if (index < 0 || index >= Count()) throw ArgumentOutOfRangeException(u"index");
        return static_cast<std::size_t>(index);
    }

    std::vector<T> items_;
};

} // namespace System::Collections::Generic
