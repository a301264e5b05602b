// The in-memory service: sign-in, tenant, language and the help action.
#include "State.h"

#include <mutex>

namespace OrvaneModule {

using namespace SandboxState;

namespace {

struct Session {
    std::mutex mutex;
    bool signedIn = false;
    std::u16string user;
    std::u16string tenant;
    std::u16string language = u"en";
    std::u16string project;
    Handle<HelpAction> helpAction;
};

Session& session() {
    static Session instance;
    return instance;
}

void resetSession() {
    auto& s = session();
    std::lock_guard lock(s.mutex);
    s.signedIn = false;
    s.user.clear();
    s.tenant.clear();
    s.language = u"en";
    s.project.clear();
    s.helpAction = nullptr;
}
const ResetHook g_resetSession(&resetSession);

} // namespace

namespace SandboxState {

bool signedIn() {
    auto& s = session();
    std::lock_guard lock(s.mutex);
    return s.signedIn;
}

std::u16string signedInUser() {
    auto& s = session();
    std::lock_guard lock(s.mutex);
    return s.user;
}

std::u16string currentTenant() {
    auto& s = session();
    std::lock_guard lock(s.mutex);
    return s.tenant;
}

std::u16string currentProject() {
    auto& s = session();
    std::lock_guard lock(s.mutex);
    return s.project;
}

void setCurrentProject(std::u16string_view projectId) {
    auto& s = session();
    std::lock_guard lock(s.mutex);
    s.project = projectId;
}

} // namespace SandboxState

void VeskoIntegration::Login(Handle<String> userName, Handle<String> tenantUniqueId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::Login>(
        [&] {
            auto& s = session();
            std::lock_guard lock(s.mutex);
            s.signedIn = true;
            s.user = text(userName);
            s.tenant = text(tenantUniqueId);
            responsecode = Ok;
        },
        userName, tenantUniqueId, responsecode);
}

void VeskoIntegration::Logout() {
    Sandbox::dispatch<&VeskoIntegration::Logout>([] {
        auto& s = session();
        std::lock_guard lock(s.mutex);
        s.signedIn = false;
        s.user.clear();
        s.project.clear();
    });
}

bool VeskoIntegration::IsLoggedIn() {
    return Sandbox::dispatch<&VeskoIntegration::IsLoggedIn>([] { return signedIn(); });
}

System::Handle<System::String> VeskoIntegration::GetLoggedInUser(int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetLoggedInUser>(
        [&]() -> Handle<String> {
            auto& s = session();
            std::lock_guard lock(s.mutex);
            if (!s.signedIn) {
                responsecode = Unauthorized;
                return nullptr;
            }
            responsecode = Ok;
            return str(s.user);
        },
        responsecode);
}

void VeskoIntegration::GetBearerToken(bool forceDialog, Handle<String>& userName, Handle<String>& tenantUniqueId) {
    Sandbox::dispatch<&VeskoIntegration::GetBearerToken>(
        [&] {
            auto& s = session();
            std::lock_guard lock(s.mutex);
            // Without a session there is no token to describe; the dialog a real service would show
            // when asked to is not part of the sandbox.
            if (!s.signedIn) return;
            userName = str(s.user);
            tenantUniqueId = str(s.tenant);
        },
        forceDialog, userName, tenantUniqueId);
}

void VeskoIntegration::SetTenantUniqueId(Handle<String> tenantUniqueId) {
    Sandbox::dispatch<&VeskoIntegration::SetTenantUniqueId>(
        [&] {
            auto& s = session();
            std::lock_guard lock(s.mutex);
            s.tenant = text(tenantUniqueId);
        },
        tenantUniqueId);
}

void VeskoIntegration::SetCurrentAppLanguage(Handle<String> language) {
    Sandbox::dispatch<&VeskoIntegration::SetCurrentAppLanguage>(
        [&] {
            auto& s = session();
            std::lock_guard lock(s.mutex);
            s.language = text(language);
        },
        language);
}

void VeskoIntegration::SetCallbacks(Handle<HelpAction> helpAction) {
    Sandbox::dispatch<&VeskoIntegration::SetCallbacks>(
        [&] {
            auto& s = session();
            std::lock_guard lock(s.mutex);
            // Keep a copy of our own: the caller's object may belong to a module that is unloaded later.
            s.helpAction = helpAction == nullptr ? nullptr : System::gcnew<HelpAction>(*helpAction);
        },
        helpAction);
}

bool Sandbox::raiseHelp(Handle<String> key) {
    Handle<HelpAction> action;
    {
        auto& s = session();
        std::lock_guard lock(s.mutex);
        action = s.helpAction;
    }
    if (action == nullptr) throw System::InvalidOperationException(u"No help action has been given.");
    return action->Invoke(std::move(key));
}

} // namespace OrvaneModule
