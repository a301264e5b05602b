// The conversion entry point and the trait every supported pair of types specialises.
#pragma once

namespace via::marshal {

// Declared, never defined: converting a pair without a specialisation is a build error naming both
// types. Each specialisation has `static To marshal(const From&)`.
template <class To, class From>
struct marshal_traits;

// True when a conversion from `From` to `To` exists; used to restrict the generic forms (lists,
// optionals) to element pairs that convert.
template <class To, class From>
concept marshallable = requires(const From& from) {
    {marshal_traits<To, From>::marshal(from)};
};

template <class To, class From>
To marshal_as(const From& from) {
    return marshal_traits<To, From>::marshal(from);
}

} // namespace via::marshal
