// Measurement proposal functions: proposals, their comments and attachments, and file totals.
#include "bridge.h"

#include <via/marshal/measurements.h>

namespace OrvaneModuleIntegration {

using via::marshal::ServiceList;

std::vector<MeasurementProposal> GetMeasurementProposals(const std::string& projectId,
                                                         const std::vector<ApprovalStatus>& approvalStatuses,
                                                         int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<MeasurementProposal>>(VeskoIntegration::GetMeasurementProposals(
            marshal_as<Handle<String>>(projectId), marshal_as<ServiceList<api::ApprovalStatus>>(approvalStatuses),
            responsecode));
    });
}

std::optional<MeasurementProposal> GetMeasurementProposalById(const std::string& projectId,
                                                              const std::string& contractId, const std::string& postId,
                                                              const std::string& measurementId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::optional<MeasurementProposal>>(VeskoIntegration::GetMeasurementProposalByID(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(contractId),
            marshal_as<Handle<String>>(postId), marshal_as<Handle<String>>(measurementId), responsecode));
    });
}

std::optional<MeasurementProposal> NewMeasurementProposal(const MeasurementProposal& measurement,
                                                          const std::string& projectId, const std::string& contractId,
                                                          const std::string& postId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::optional<MeasurementProposal>>(VeskoIntegration::NewMeasurementProposal(
            marshal_as<Handle<api::Measurement>>(measurement), marshal_as<Handle<String>>(projectId),
            marshal_as<Handle<String>>(contractId), marshal_as<Handle<String>>(postId), responsecode));
    });
}

bool DeleteMeasurementProposal(const std::string& projectId, const std::string& contractId, const std::string& postId,
                               const std::string& measurementId, int& responsecode) {
    return detail::guarded([&] {
        VeskoIntegration::DeleteMeasurementProposal(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(contractId),
            marshal_as<Handle<String>>(postId), marshal_as<Handle<String>>(measurementId), responsecode);
        return true;
    });
}

bool DeleteAllMeasurementsForFileId(const std::string& projectId, const std::string& fileId,
                                    const std::string& fileIdInternal, int& responsecode) {
    return detail::guarded([&] {
        VeskoIntegration::DeleteAllMeasurementsForFileId(marshal_as<Handle<String>>(projectId),
                                                         marshal_as<Handle<String>>(fileId),
                                                         marshal_as<Handle<String>>(fileIdInternal), responsecode);
        return true;
    });
}

void CreateMeasurementProposalComment(const MeasurementComment& comment, const std::string& projectId,
                                      const std::string& postId, const std::string& id, int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::NewMeasurementProposalComment(
            marshal_as<Handle<api::Comment>>(comment), marshal_as<Handle<String>>(projectId),
            marshal_as<Handle<String>>(postId), marshal_as<Handle<String>>(id), responsecode);
    });
}

bool NewMeasurementProposalAttachment(const MeasurementAttachment& attachment, const std::string& projectId,
                                      const std::string& contractId, const std::string& postId, const std::string& id,
                                      int& responsecode) {
    return detail::guarded([&] {
        VeskoIntegration::NewMeasurementProposalAttachment(
            marshal_as<Handle<api::Attachment>>(attachment), marshal_as<Handle<String>>(projectId),
            marshal_as<Handle<String>>(contractId), marshal_as<Handle<String>>(postId), marshal_as<Handle<String>>(id),
            responsecode);
        return true;
    });
}

std::string SaveAttachment(const std::string& filename, const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::string>(VeskoIntegration::SaveAttachment(
            marshal_as<Handle<String>>(filename), marshal_as<Handle<String>>(projectId), responsecode));
    });
}

std::string GetTemporaryUrl(const std::string& uri, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::string>(
            VeskoIntegration::GetTemporaryUrl(marshal_as<Handle<String>>(uri), responsecode));
    });
}

void ShowMeasurementProposals(const std::string& projectId, const std::string& contractId, const std::string& postId,
                              bool approved, int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::ShowMeasurementProposals(marshal_as<Handle<String>>(projectId),
                                                   marshal_as<Handle<String>>(contractId),
                                                   marshal_as<Handle<String>>(postId), approved, responsecode);
    });
}

void GetMeasurementProposalDetails(const std::string& projectId, const std::string& proposalId, bool& hasComments,
                                   bool& hasAttachments, ApprovalStatus& approvalStatus, int& responsecode) {
    // Preset before the call, so a service that fails before writing leaves this value behind.
    auto status = static_cast<api::ApprovalStatus>(0);
    detail::guarded([&] {
        VeskoIntegration::GetMeasurementProposalDetails(marshal_as<Handle<String>>(projectId),
                                                        marshal_as<Handle<String>>(proposalId), hasComments,
                                                        hasAttachments, status, responsecode);
    });
    // Written on both paths. A status without a native name (the preset included) reads as NA instead of
    // escaping to the host.
    approvalStatus = detail::guarded([&] { return marshal_as<ApprovalStatus>(status); }, ApprovalStatus::NA);
}

void InvalidateMeasurementProposalsCache() {
    detail::guarded([] { VeskoIntegration::InvalidateMeasurementProposalsCache(); });
}

std::vector<MeasurementItemFileTotal> GetMeasurementItemsFileTotal(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<MeasurementItemFileTotal>>(
            VeskoIntegration::GetMeasurementItemsFileTotal(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

} // namespace OrvaneModuleIntegration
