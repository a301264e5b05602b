// Sign-in functions and the help callback.
#include "bridge.h"

#include <via/marshal/text.h>

namespace OrvaneModuleIntegration {

namespace {

// The only state the library keeps: empty at load, destroyed at unload.
std::function<bool(const std::string&)> s_helpCallback;

// The service calls this through its HelpAction. Not guarded: a null key, an empty callback or the
// callback's own exception goes back to the service as the help action's error.
bool helpEvent(Handle<String> helpKey) {
    return s_helpCallback(marshal_as<std::string>(helpKey));
}

// A null string left by the service becomes empty rather than reaching the host as an exception.
std::string narrowOrEmpty(const Handle<String>& text) noexcept {
    return detail::guarded([&] { return marshal_as<std::string>(text); });
}

} // namespace

bool Login(const std::string& userName, const std::string& tenantUniqueId, int& responsecode) {
    return detail::guarded([&] {
        VeskoIntegration::Login(marshal_as<Handle<String>>(userName), marshal_as<Handle<String>>(tenantUniqueId),
                                responsecode);
        return true;
    });
}

bool Logout() {
    return detail::guarded([] {
        VeskoIntegration::Logout();
        return true;
    });
}

bool IsLoggedIn() {
    return detail::guarded([] { return VeskoIntegration::IsLoggedIn(); });
}

std::string GetLoggedInUser(int& responsecode) {
    return detail::guarded([&] { return marshal_as<std::string>(VeskoIntegration::GetLoggedInUser(responsecode)); });
}

void GetBearerToken(bool forceDialog, std::string& userName, std::string& tenantUniqueId) {
    auto userNameValue = System::gcnew<String>();
    auto tenantValue = System::gcnew<String>();
    detail::guarded([&] { VeskoIntegration::GetBearerToken(forceDialog, userNameValue, tenantValue); });
    // Both out-parameters are overwritten on both paths: with what the service wrote, or empty.
    userName = narrowOrEmpty(userNameValue);
    tenantUniqueId = narrowOrEmpty(tenantValue);
}

void SetTenantUniqueId(const std::string& tenantUniqueId) {
    detail::guarded([&] { VeskoIntegration::SetTenantUniqueId(marshal_as<Handle<String>>(tenantUniqueId)); });
}

void SetCurrentAppLanguage(const std::string& language) {
    detail::guarded([&] { VeskoIntegration::SetCurrentAppLanguage(marshal_as<Handle<String>>(language)); });
}

void SetCallbacks(std::function<bool(const std::string&)> helpCallback) {
    detail::guarded([&] {
        // Copy first, then exchange: a copy that fails leaves the previous callback in place.
        auto copy = helpCallback;
        s_helpCallback.swap(copy);
        VeskoIntegration::SetCallbacks(System::gcnew<OrvaneModule::HelpAction>(&helpEvent));
    });
}

} // namespace OrvaneModuleIntegration
