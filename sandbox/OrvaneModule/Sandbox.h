// The sandbox service's test seam: script any facade operation's answer, count its calls, reset.
//
//   auto guard = Sandbox::script<&VeskoIntegration::GetModules>(
//       [](Handle<String> projectId, int& responsecode) -> Handle<List<ApiModels::ApplicationModule>> {
//           responsecode = 503;
//           return nullptr;
//       });
//   int n = Sandbox::callCount<&VeskoIntegration::GetModules>();
//   Sandbox::reset();
//   bool answer = Sandbox::raiseHelp(gcnew<String>(u"key"));
#pragma once

#include <OrvaneModule/Export.h>
#include <OrvaneModule/VeskoIntegration.h>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace OrvaneModule::Sandbox {

namespace detail {

// Operations are told apart by their address, which is the same in every module of the process.
template <auto Op>
const void* keyOf() noexcept {
    return reinterpret_cast<const void*>(Op);
}

template <class F>
struct FunctionOf;
template <class R, class... Args>
struct FunctionOf<R (*)(Args...)> {
    using type = std::function<R(Args...)>;
};

template <auto Op>
using Behaviour = typename FunctionOf<decltype(Op)>::type;

// Installs a behaviour (null: none) and returns the one it replaced.
ORVANE_SERVICE_API std::shared_ptr<void> exchangeScript(const void* key, std::shared_ptr<void> behaviour);
// Counts a call of the operation and returns its active script, if any.
ORVANE_SERVICE_API std::shared_ptr<void> enterCall(const void* key);
ORVANE_SERVICE_API int callCountOf(const void* key);

} // namespace detail

// Restores the script that was active before it (usually none) when destroyed.
template <auto Op>
class [[nodiscard]] ScriptGuard {
public:
    explicit ScriptGuard(std::shared_ptr<void> previous) : previous_(std::move(previous)) {}
    ScriptGuard(ScriptGuard&& other) noexcept : previous_(std::move(other.previous_)), active_(other.active_) {
        other.active_ = false;
    }
    ScriptGuard(const ScriptGuard&) = delete;
    ScriptGuard& operator=(const ScriptGuard&) = delete;
    ScriptGuard& operator=(ScriptGuard&&) = delete;
    ~ScriptGuard() {
        if (active_) detail::exchangeScript(detail::keyOf<Op>(), std::move(previous_));
    }

private:
    std::shared_ptr<void> previous_;
    bool active_ = true;
};

// Replaces the facade operation `Op` with `behaviour` (any callable with the operation's parameters
// and result) until the returned guard is destroyed. Calls are still counted.
template <auto Op, class F>
requires std::is_constructible_v<detail::Behaviour<Op>, F> ScriptGuard<Op> script(F&& behaviour) {
    auto installed = std::make_shared<detail::Behaviour<Op>>(std::forward<F>(behaviour));
    return ScriptGuard<Op>(detail::exchangeScript(detail::keyOf<Op>(), std::move(installed)));
}

// Calls of `Op` since the last reset.
template <auto Op>
int callCount() {
    return detail::callCountOf(detail::keyOf<Op>());
}

// Empty service state, no scripts, all counts zero.
ORVANE_SERVICE_API void reset();

// Invokes the last HelpAction the service was given; raises InvalidOperationException when it has none,
// and passes on whatever the action raises.
ORVANE_SERVICE_API bool raiseHelp(System::Handle<System::String> key);

// Used by the in-memory facade: counts the call, then runs the active script or, without one,
// `inMemory`. The arguments are the operation's own, passed on to the script.
template <auto Op, class InMemory, class... Args>
decltype(auto) dispatch(InMemory&& inMemory, Args&&... args) {
    if (const auto active = detail::enterCall(detail::keyOf<Op>()))
        return (*static_cast<detail::Behaviour<Op>*>(active.get()))(std::forward<Args>(args)...);
    return std::forward<InMemory>(inMemory)();
}

} // namespace OrvaneModule::Sandbox
