// Project, contract and post functions.
#include "bridge.h"

#include <via/marshal/contracts.h>

namespace OrvaneModuleIntegration {

void LoadProject(const std::string& projectId, int& responsecode) {
    detail::guarded([&] { VeskoIntegration::LoadProject(marshal_as<Handle<String>>(projectId), responsecode); });
}

void SaveProject(const std::string& projectId, int& responsecode) {
    detail::guarded([&] { VeskoIntegration::SaveProject(marshal_as<Handle<String>>(projectId), responsecode); });
}

bool SetProject(const std::string& projectId) {
    return detail::guarded([&] { return VeskoIntegration::SetProject(marshal_as<Handle<String>>(projectId)); });
}

void CloseProject() {
    detail::guarded([] { VeskoIntegration::CloseProject(); });
}

std::optional<VeskoProject> GetProjectById(const std::string& id, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::optional<VeskoProject>>(
            VeskoIntegration::GetProjectByID(marshal_as<Handle<String>>(id), responsecode));
    });
}

std::optional<VeskoProject> GetContractProject(const std::string& id, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::optional<VeskoProject>>(
            VeskoIntegration::GetContractProject(marshal_as<Handle<String>>(id), responsecode));
    });
}

void LoadPosts(const std::string& projectId, int& responsecode) {
    detail::guarded([&] { VeskoIntegration::LoadPosts(marshal_as<Handle<String>>(projectId), responsecode); });
}

bool SavePosts(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        VeskoIntegration::SavePosts(marshal_as<Handle<String>>(projectId), responsecode);
        return true;
    });
}

std::string GetPostDataFileName(const std::string& projectId) {
    return detail::guarded([&] {
        return marshal_as<std::string>(VeskoIntegration::GetPostDataFileName(marshal_as<Handle<String>>(projectId)));
    });
}

ContractMeta GetContracts(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<ContractMeta>(
            VeskoIntegration::GetContracts(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

std::vector<Contract> GetPostsMeta(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<Contract>>(
            VeskoIntegration::GetPostsMeta(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

std::vector<ContractPost> GetAllPosts(const std::string& projectId, bool forceDialog, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<ContractPost>>(
            VeskoIntegration::GetAllPosts(marshal_as<Handle<String>>(projectId), forceDialog, responsecode));
    });
}

std::vector<ContractPost> GetVisiblePosts(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<ContractPost>>(
            VeskoIntegration::GetVisiblePosts(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

bool ShowManageContractPostsDialog(const std::string& projectId, const std::string& contractId) {
    return detail::guarded([&] {
        return VeskoIntegration::ShowManageContractPostsDialog(marshal_as<Handle<String>>(projectId),
                                                               marshal_as<Handle<String>>(contractId));
    });
}

void ShowContractPostInfo(const std::string& projectId, const std::string& postId) {
    detail::guarded([&] {
        VeskoIntegration::ShowContractPostInfo(marshal_as<Handle<String>>(projectId),
                                               marshal_as<Handle<String>>(postId));
    });
}

} // namespace OrvaneModuleIntegration
