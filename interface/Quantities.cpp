// Quantity functions: estimated and actual quantities and the history of actual quantities.
#include "bridge.h"

#include <via/marshal/measurements.h>

namespace OrvaneModuleIntegration {

// The two recordings take the record first but hand it to the service after the three ids.

std::optional<MeasurementProposal> NewEstimatedQuantity(const MeasurementProposal& measurement,
                                                        const std::string& projectId, const std::string& contractId,
                                                        const std::string& postId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::optional<MeasurementProposal>>(VeskoIntegration::NewEstimatedQuantity(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(contractId),
            marshal_as<Handle<String>>(postId), marshal_as<Handle<api::Measurement>>(measurement), responsecode));
    });
}

void DeleteEstimatedQuantities(const std::string& projectId, const std::string& fileId, int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::DeleteEstimatedQuantities(marshal_as<Handle<String>>(projectId),
                                                    marshal_as<Handle<String>>(fileId), responsecode);
    });
}

std::vector<MeasurementProposal> GetEstimatedQuantities(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<MeasurementProposal>>(
            VeskoIntegration::GetEstimatedQuantities(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

std::optional<MeasurementProposal> NewActualQuantity(const MeasurementProposal& measurement,
                                                     const std::string& projectId, const std::string& contractId,
                                                     const std::string& postId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::optional<MeasurementProposal>>(VeskoIntegration::NewActualQuantity(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(contractId),
            marshal_as<Handle<String>>(postId), marshal_as<Handle<api::Measurement>>(measurement), responsecode));
    });
}

void DeleteActualQuantities(const std::string& projectId, const std::string& fileId, int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::DeleteActualQuantities(marshal_as<Handle<String>>(projectId),
                                                 marshal_as<Handle<String>>(fileId), responsecode);
    });
}

std::vector<MeasurementProposal> GetActualQuantities(const std::string& projectId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<MeasurementProposal>>(
            VeskoIntegration::GetActualQuantities(marshal_as<Handle<String>>(projectId), responsecode));
    });
}

std::vector<HistoricalQuantity> GetActualHistoricalQuantities(const std::string& projectId,
                                                              const std::string& contractId, const std::string& postId,
                                                              const std::string& fileId, int& responsecode) {
    return detail::guarded([&] {
        return marshal_as<std::vector<HistoricalQuantity>>(VeskoIntegration::GetActualHistoricalQuantities(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(contractId),
            marshal_as<Handle<String>>(postId), marshal_as<Handle<String>>(fileId), responsecode));
    });
}

void DeleteActualHistoricalQuantity(const std::string& projectId, const std::string& contractId,
                                    const std::string& postId, const std::string& historicalQuantityId,
                                    int& responsecode) {
    detail::guarded([&] {
        VeskoIntegration::DeleteActualHistoricalQuantity(
            marshal_as<Handle<String>>(projectId), marshal_as<Handle<String>>(contractId),
            marshal_as<Handle<String>>(postId), marshal_as<Handle<String>>(historicalQuantityId), responsecode);
    });
}

} // namespace OrvaneModuleIntegration
