// User, role, permission and module functions.
#include "bridge.h"

#include <via/marshal/collections.h>
#include <via/marshal/enums.h>
#include <via/marshal/text.h>

namespace OrvaneModuleIntegration {

std::vector<UserPermission> GetUserPermissions(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<UserPermission>>(
            VeskoIntegration::GetUserPermissions(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

std::vector<UserRole> GetUserRoles(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<UserRole>>(
            VeskoIntegration::GetUserRoles(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

std::vector<ApplicationModule> GetModules(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<ApplicationModule>>(
            VeskoIntegration::GetModules(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

bool AddUserRole(const std::string& projectId, UserRole role, int& responsecode) {
    return detail::guarded([&] {
        // The role first: a role the service cannot name must not cost a project-id conversion or a call.
        const auto serviceRole = marshal_as<api::UserRole>(role);
        VeskoIntegration::AddUserRole(marshal_as<Handle<String>>(projectId), serviceRole, responsecode);
        return true;
    });
}

} // namespace OrvaneModuleIntegration
