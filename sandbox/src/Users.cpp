// The in-memory service: the signed-in user's roles, permissions and active modules per project.
#include "State.h"

#include <System/Enum.h>

#include <functional>
#include <map>
#include <mutex>
#include <vector>

namespace OrvaneModule {

using namespace SandboxState;
namespace api = ApiModels;

namespace {

struct Membership {
    std::vector<api::UserRole> roles;
    std::vector<api::UserPermission> permissions;
    std::vector<api::ApplicationModule> modules;
};

using P = api::UserPermission;

// What the sample tenant's projects grant the signed-in user before any role is added.
std::map<std::u16string, Membership, std::less<>> sampleMemberships() {
    std::map<std::u16string, Membership, std::less<>> memberships;
    memberships[std::u16string(kSampleProjects[0])] = {
        {api::UserRole::ProjectLeader, api::UserRole::Surveyor},
        {P::ReadProjects, P::UpdateProjects, P::ReadContracts, P::ReadPosts, P::CreateMeasurementProposals,
         P::UpdateMeasurementProposals, P::CreateComments, P::ReadComments, P::CreateMeasurements, P::ReadMeasurements,
         P::UpdateMeasurementStatus, P::ReadMeasurementsSummaries, P::DownloadFiles, P::UpdateModels,
         P::ReadActiveProjectModules, P::ExportVisualizationToolsFiles},
        {api::ApplicationModule::Quantities, api::ApplicationModule::Zelvo, api::ApplicationModule::Events},
    };
    memberships[std::u16string(kSampleProjects[1])] = {
        {api::UserRole::Foreman},
        {P::ReadProjects, P::ReadContracts, P::ReadPosts, P::CreateMeasurementProposals, P::ReadComments,
         P::CreateComments, P::ReadMeasurements, P::ReadQhseEvents, P::CreateQhseEvents},
        {api::ApplicationModule::Events, api::ApplicationModule::Qhse},
    };
    return memberships;
}

struct Users {
    std::mutex mutex;
    std::map<std::u16string, Membership, std::less<>> memberships = sampleMemberships();
};

Users& users() {
    static Users instance;
    return instance;
}

void resetUsers() {
    auto& u = users();
    std::lock_guard lock(u.mutex);
    u.memberships = sampleMemberships();
}
const ResetHook g_resetUsers(&resetUsers);

template <class E>
Handle<System::Collections::Generic::List<E>> listOf(const std::vector<E>& items) {
    auto list = System::gcnew<System::Collections::Generic::List<E>>(static_cast<int>(items.size()));
    for (const E item : items) list->Add(item);
    return list;
}

// The project's membership, or null with the failure code written. The caller has checked the
// session (before locking, so the two mutexes are never held together) and holds the lock.
Membership* membershipOf(Users& u, const Handle<String>& projectId, int& responsecode) {
    const std::u16string id = text(projectId);
    if (id.empty()) {
        responsecode = BadRequest;
        return nullptr;
    }
    const auto found = u.memberships.find(id);
    if (found == u.memberships.end()) {
        responsecode = NotFound;
        return nullptr;
    }
    return &found->second;
}

// A copy of one of the membership's lists, taken under the lock; null with the failure code otherwise.
template <class E>
Handle<System::Collections::Generic::List<E>> read(const Handle<String>& projectId, int& responsecode,
                                                   std::vector<E> Membership::*field) {
    if (!requireSession(responsecode)) return nullptr;
    auto& u = users();
    std::lock_guard lock(u.mutex);
    const Membership* membership = membershipOf(u, projectId, responsecode);
    if (membership == nullptr) return nullptr;
    responsecode = Ok;
    return listOf(membership->*field);
}

} // namespace

VeskoIntegration::Handle<VeskoIntegration::List<api::UserPermission>>
VeskoIntegration::GetUserPermissions(Handle<String> projectId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetUserPermissions>(
        [&] { return read(projectId, responsecode, &Membership::permissions); }, projectId, responsecode);
}

VeskoIntegration::Handle<VeskoIntegration::List<api::UserRole>> VeskoIntegration::GetUserRoles(Handle<String> projectId,
                                                                                               int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetUserRoles>(
        [&] { return read(projectId, responsecode, &Membership::roles); }, projectId, responsecode);
}

void VeskoIntegration::AddUserRole(Handle<String> projectId, api::UserRole role, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::AddUserRole>(
        [&] {
            if (!requireSession(responsecode)) return;
            auto& u = users();
            std::lock_guard lock(u.mutex);
            Membership* membership = membershipOf(u, projectId, responsecode);
            if (membership == nullptr) return;
            if (!System::Enum::IsDefined(role)) {
                responsecode = BadRequest;
                return;
            }
            // A role the user already has is added again; the list keeps duplicates.
            membership->roles.push_back(role);
            responsecode = Ok;
        },
        projectId, role, responsecode);
}

VeskoIntegration::Handle<VeskoIntegration::List<api::ApplicationModule>>
VeskoIntegration::GetModules(Handle<String> projectId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetModules>(
        [&] { return read(projectId, responsecode, &Membership::modules); }, projectId, responsecode);
}

} // namespace OrvaneModule
