// The delegate through which the service asks the host to show help for a key.
#pragma once

#include <System/String.h>

namespace OrvaneModule {

// Built on a static function without a target object; the service may invoke it at any time, on
// any thread. Whatever the function raises reaches the service as the delegate's error.
class HelpAction {
public:
    using Method = bool (*)(System::Handle<System::String> helpKey);

    explicit HelpAction(Method method) noexcept : method_(method) {}

    bool Invoke(System::Handle<System::String> helpKey) const { return method_(std::move(helpKey)); }

private:
    Method method_;
};

} // namespace OrvaneModule
