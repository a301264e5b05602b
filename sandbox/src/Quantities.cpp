// The in-memory service: estimated and actual quantities, and the history of actual quantities.
//
// A quantity belongs to one item (its client-provided id) of one file, measured against one post. Recording
// the same item again replaces its current quantity; every recording of an actual quantity is also kept
// in the history of its post and file.
#include "MeasurementStore.h"

#include <algorithm>

namespace OrvaneModule {

using namespace SandboxState;

namespace {

using System::gcnew;

bool sameItem(const Filed& a, const Filed& b) {
    return a.project == b.project && a.contract == b.contract && a.post == b.post &&
           fileOf(*a.measurement) == fileOf(*b.measurement) &&
           text(a.measurement->Item->ClientProvidedId) == text(b.measurement->Item->ClientProvidedId);
}

// Files the measurement as the current quantity of its item and answers what was stored. 400 when the
// measurement has no item or the item no file.
Handle<api::Measurement> record(std::vector<Filed>& quantities, std::u16string_view idPrefix, bool keepHistory,
                                const Handle<String>& projectId, const Handle<String>& contractId,
                                const Handle<String>& postId, const Handle<api::Measurement>& measurement,
                                int& responsecode) {
    if (!admit(responsecode, projectId, {contractId, postId})) return nullptr;
    if (measurement == nullptr || fileOf(*measurement).empty()) {
        responsecode = BadRequest;
        return nullptr;
    }
    auto stored = copyOf(measurement);
    stored->Id = str(newId(idPrefix));
    stored->DateCreated = now();
    stored->PostId = postId;
    if (text(stored->Creator).empty()) stored->Creator = str(signedInUser());
    if (stored->Comments == nullptr) stored->Comments = gcnew<List<Handle<api::Comment>>>();
    if (stored->Attachments == nullptr) stored->Attachments = gcnew<List<Handle<api::Attachment>>>();
    Filed filed{text(projectId), text(contractId), text(postId), stored};

    Handle<api::HistoricalQuantity> recording;
    if (keepHistory) {
        recording = gcnew<api::HistoricalQuantity>();
        recording->Id = str(newId(u"hq"));
        recording->Quantity = stored->Quantity;
        recording->DateCreated = stored->DateCreated;
    }

    auto& store = measurementStore();
    std::lock_guard lock(store.mutex);
    const auto same = std::find_if(quantities.begin(), quantities.end(),
                                   [&](const Filed& existing) { return sameItem(existing, filed); });
    if (same != quantities.end())
        *same = filed;
    else
        quantities.push_back(filed);
    if (keepHistory) store.history.push_back({filed.project, filed.contract, filed.post, fileOf(*stored), recording});
    responsecode = Created;
    return copyOf(stored);
}

VeskoIntegration::ListOf<api::Measurement> listOf(const std::vector<Filed>& quantities,
                                                  const Handle<String>& projectId) {
    auto answer = gcnew<List<Handle<api::Measurement>>>();
    for (const auto& filed : quantities)
        if (filed.project == text(projectId)) answer->Add(copyOf(filed.measurement));
    return answer;
}

} // namespace

Handle<api::Measurement> VeskoIntegration::NewEstimatedQuantity(Handle<String> projectId, Handle<String> contractId,
                                                                Handle<String> postId,
                                                                Handle<api::Measurement> measurement,
                                                                int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::NewEstimatedQuantity>(
        [&] {
            return record(measurementStore().estimated, u"est", false, projectId, contractId, postId, measurement,
                          responsecode);
        },
        projectId, contractId, postId, measurement, responsecode);
}

void VeskoIntegration::DeleteEstimatedQuantities(Handle<String> projectId, Handle<String> fileId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::DeleteEstimatedQuantities>(
        [&] {
            if (!admit(responsecode, projectId, {fileId})) return;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            std::erase_if(store.estimated, [&](const Filed& filed) {
                return filed.project == text(projectId) && fileOf(*filed.measurement) == text(fileId);
            });
            responsecode = NoContent;
        },
        projectId, fileId, responsecode);
}

VeskoIntegration::ListOf<api::Measurement> VeskoIntegration::GetEstimatedQuantities(Handle<String> projectId,
                                                                                    int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetEstimatedQuantities>(
        [&]() -> ListOf<api::Measurement> {
            if (!admit(responsecode, projectId)) return nullptr;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            responsecode = Ok;
            return listOf(store.estimated, projectId);
        },
        projectId, responsecode);
}

Handle<api::Measurement> VeskoIntegration::NewActualQuantity(Handle<String> projectId, Handle<String> contractId,
                                                             Handle<String> postId,
                                                             Handle<api::Measurement> measurement, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::NewActualQuantity>(
        [&] {
            return record(measurementStore().actual, u"act", true, projectId, contractId, postId, measurement,
                          responsecode);
        },
        projectId, contractId, postId, measurement, responsecode);
}

// The file's history goes with its actual quantities.
void VeskoIntegration::DeleteActualQuantities(Handle<String> projectId, Handle<String> fileId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::DeleteActualQuantities>(
        [&] {
            if (!admit(responsecode, projectId, {fileId})) return;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            std::erase_if(store.actual, [&](const Filed& filed) {
                return filed.project == text(projectId) && fileOf(*filed.measurement) == text(fileId);
            });
            std::erase_if(store.history, [&](const Recorded& recorded) {
                return recorded.project == text(projectId) && recorded.file == text(fileId);
            });
            responsecode = NoContent;
        },
        projectId, fileId, responsecode);
}

VeskoIntegration::ListOf<api::Measurement> VeskoIntegration::GetActualQuantities(Handle<String> projectId,
                                                                                 int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetActualQuantities>(
        [&]() -> ListOf<api::Measurement> {
            if (!admit(responsecode, projectId)) return nullptr;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            responsecode = Ok;
            return listOf(store.actual, projectId);
        },
        projectId, responsecode);
}

VeskoIntegration::ListOf<api::HistoricalQuantity>
VeskoIntegration::GetActualHistoricalQuantities(Handle<String> projectId, Handle<String> contractId,
                                                Handle<String> postId, Handle<String> fileId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetActualHistoricalQuantities>(
        [&]() -> ListOf<api::HistoricalQuantity> {
            if (!admit(responsecode, projectId, {contractId, postId, fileId})) return nullptr;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            auto answer = gcnew<List<Handle<api::HistoricalQuantity>>>();
            for (const auto& recorded : store.history)
                if (recorded.project == text(projectId) && recorded.contract == text(contractId) &&
                    recorded.post == text(postId) && recorded.file == text(fileId))
                    answer->Add(gcnew<api::HistoricalQuantity>(*recorded.quantity));
            responsecode = Ok;
            return answer;
        },
        projectId, contractId, postId, fileId, responsecode);
}

// Removes one entry of the history; the item's current quantity stays as it is.
void VeskoIntegration::DeleteActualHistoricalQuantity(Handle<String> projectId, Handle<String> contractId,
                                                      Handle<String> postId, Handle<String> historicalQuantityId,
                                                      int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::DeleteActualHistoricalQuantity>(
        [&] {
            if (!admit(responsecode, projectId, {contractId, postId, historicalQuantityId})) return;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            const auto removed = std::erase_if(store.history, [&](const Recorded& recorded) {
                return recorded.project == text(projectId) && recorded.contract == text(contractId) &&
                       recorded.post == text(postId) && text(recorded.quantity->Id) == text(historicalQuantityId);
            });
            responsecode = removed > 0 ? NoContent : NotFound;
        },
        projectId, contractId, postId, historicalQuantityId, responsecode);
}

} // namespace OrvaneModule
