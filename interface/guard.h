// The one place where exceptions stop: every exported function runs its body through `guarded`.
#pragma once

#include <type_traits>
#include <utility>

namespace OrvaneModuleIntegration::detail {

// Runs an exported function's body. Whatever it raises (service errors, conversion errors, allocation
// failures, anything at all) becomes `fallback`: no exception ever reaches the host.
template <class Body, class Result = std::invoke_result_t<Body&>>
requires(!std::is_void_v<Result>) Result guarded(Body&& body, Result fallback = Result{})
noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

template <class Body>
requires std::is_void_v<std::invoke_result_t<Body&>>
void guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

} // namespace OrvaneModuleIntegration::detail
