// Collections and optionals: service lists to vectors and back, null handles to empty optionals.
#pragma once

#include <System/Handle.h>
#include <System/List.h>
#include <via/marshal/core.h>

#include <optional>
#include <utility>
#include <vector>

namespace via::marshal {

template <class U>
using ServiceList = System::Handle<System::Collections::Generic::List<U>>;

// A service list to a vector, element by element in list order. A null list raises
// ArgumentNullException "list"; a failing element fails the whole list.
template <class T, class U>
requires marshallable<T, U>
struct marshal_traits<std::vector<T>, ServiceList<U>> {
    static std::vector<T> marshal(const ServiceList<U>& list) {
        if (list == nullptr) throw System::ArgumentNullException(u"list");
        std::vector<T> result;
        result.reserve(static_cast<std::size_t>(list->Count()));
        for (const U& element : *list) result.push_back(marshal_as<T>(element));
        return result;
    }
};

// As above, but a null list gives no value.
template <class T, class U>
requires marshallable<T, U>
struct marshal_traits<std::optional<std::vector<T>>, ServiceList<U>> {
    static std::optional<std::vector<T>> marshal(const ServiceList<U>& list) {
        if (list == nullptr) return std::nullopt;
        return marshal_as<std::vector<T>>(list);
    }
};

namespace detail {
// A service list read into a record field: null and empty both give an empty vector.
template <class T, class U>
std::vector<T> fieldList(const ServiceList<U>& list) {
    auto converted = marshal_as<std::optional<std::vector<T>>>(list);
    return converted ? std::move(*converted) : std::vector<T>();
}
} // namespace detail

// A vector to a new service list, never null.
template <class U, class T>
requires marshallable<U, T>
struct marshal_traits<ServiceList<U>, std::vector<T>> {
    static ServiceList<U> marshal(const std::vector<T>& vector) {
        auto list = System::gcnew<System::Collections::Generic::List<U>>(static_cast<int>(vector.size()));
        for (const T& element : vector) list->Add(marshal_as<U>(element));
        return list;
    }
};

// A service object to an optional record: null gives no value. Other record conversions do not test
// for null; reading a property of a null object raises NullReferenceException.
template <class T, class U>
requires marshallable<T, System::Handle<U>>
struct marshal_traits<std::optional<T>, System::Handle<U>> {
    static std::optional<T> marshal(const System::Handle<U>& input) {
        if (input == nullptr) return std::nullopt;
        return marshal_as<T>(input);
    }
};

} // namespace via::marshal
