// Model-file functions: file descriptions, correlations, model uploads and revisions.
#include "bridge.h"

#include <via/marshal/model_files.h>

namespace OrvaneModuleIntegration {

void SetZelvoFileInfo(const std::string& projectId, const std::string& fileId, const ZelvoFileInfo& zelvoFileInfo,
                      int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::SetZelvoFileInfo(marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(fileId),
                                           marshal_as<Handle<api::ZelvoFileInfo>>(zelvoFileInfo), responsecode);
    });
}

std::optional<ZelvoFileInfo> GetZelvoFileInfo(const std::string& projectId, const std::string& partition,
                                              const std::string& fileId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::optional<ZelvoFileInfo>>(VeskoIntegration::GetZelvoFileInfo(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(partition),
            marshal_as<Handle<String>>(fileId), responsecode));
    });
}

std::optional<std::string> GetZelvoCorrelatedFileId(const std::string& projectId, const std::string& partition,
                                                    const std::string& fileId, int& responsecode) {
    // Null means no partner; an empty string is an answer of its own and stays engaged.
    return detail::guarded([&] {
        return marshal_as<std::optional<std::string>>(VeskoIntegration::GetZelvoCorrelatedFileId(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(partition),
            marshal_as<Handle<String>>(fileId), responsecode));
    });
}

void SetZelvoCorrelatedFiles(const std::string& projectId, const std::string& fileIdEstimated,
                             const std::string& fileIdActual, int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::SetZelvoCorrelatedFiles(marshal_as<Handle<String>>(projectId),
                                                  marshal_as<Handle<String>>(fileIdEstimated),
                                                  marshal_as<Handle<String>>(fileIdActual), responsecode);
    });
}

void DeleteZelvoCorrelatedFiles(const std::string& projectId, const std::string& fileId, int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::DeleteZelvoCorrelatedFiles(marshal_as<Handle<String>>(projectId),
                                                     marshal_as<Handle<String>>(fileId), responsecode);
    });
}

std::vector<ZelvoCorrelation> GetZelvoCorrelations(const std::string& projectId, const std::string& partition,
                                                   int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<ZelvoCorrelation>>(VeskoIntegration::GetZelvoCorrelations(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(partition), responsecode));
    });
}

void PutZelvoModel(std::vector<ZelvoModelGeometry> modelGeometries, const std::string& projectId,
                   const std::string& fileId, int fileRevision, const std::string& checkSum, int epsgId,
                   int& responsecode) {
    // The whole list is built before the call, so one unconvertible geometry keeps the service from
    // receiving any of them.
    detail::guarded([&] {
        VeskoIntegration::PutZelvoModel(marshal_as<VeskoIntegration::ListOf<api::ZelvoModelGeometry>>(modelGeometries),
                                        marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(fileId),
                                        fileRevision, marshal_as<Handle<String>>(checkSum), epsgId, responsecode);
    });
}

void DeleteZelvoModel(const std::string& projectId, const std::string& fileId, int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::DeleteZelvoModel(marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(fileId),
                                           responsecode);
    });
}

std::optional<ZelvoModelRevision> GetZelvoModelRevision(const std::string& projectId, const std::string& fileId,
                                                        int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::optional<ZelvoModelRevision>>(VeskoIntegration::GetZelvoModelRevision(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(fileId), responsecode));
    });
}

} // namespace OrvaneModuleIntegration
