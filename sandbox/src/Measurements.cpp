// The in-memory service: measurement proposals, their comments and attachments, stored files and the
// accumulated quantities per file and post.
#include "MeasurementStore.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <tuple>

namespace OrvaneModule {

using namespace SandboxState;

namespace SandboxState {

MeasurementStore& measurementStore() {
    static MeasurementStore instance;
    return instance;
}

} // namespace SandboxState

namespace {

using System::gcnew;

constexpr std::u16string_view kFileHost = u"https://files.sandbox.invalid/";

void resetMeasurements() {
    auto& store = measurementStore();
    std::lock_guard lock(store.mutex);
    store.proposals.clear();
    store.estimated.clear();
    store.actual.clear();
    store.history.clear();
    store.savedFiles.clear();
}
const ResetHook g_resetMeasurements(&resetMeasurements);

// The proposal `id` of a project; a contract or post that is given must be the one it was filed under.
Filed* findProposal(MeasurementStore& store, const Handle<String>& projectId, const Handle<String>* contractId,
                    const Handle<String>* postId, const Handle<String>& id) {
    for (auto& filed : store.proposals) {
        if (filed.project != text(projectId) || text(filed.measurement->Id) != text(id)) continue;
        if (contractId != nullptr && filed.contract != text(*contractId)) return nullptr;
        if (postId != nullptr && filed.post != text(*postId)) return nullptr;
        return &filed;
    }
    return nullptr;
}

// Text joined by appending; GCC 12 misreports chains of operator+ on UTF-16 strings at -O3.
std::u16string join(std::initializer_list<std::u16string_view> parts) {
    std::u16string joined;
    for (const auto part : parts) joined.append(part);
    return joined;
}

std::u16string ascii(const char* text) {
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

// An ISO 8601 UTC rendering such as 2026-03-02T09:00:00Z.
std::u16string isoText(const System::DateTime& time) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", time.Year(), time.Month(), time.Day(),
                  time.Hour(), time.Minute(), time.Second());
    return ascii(buffer);
}

// The last component of a local path, whichever separator it uses.
std::u16string baseName(std::u16string_view path) {
    const auto slash = path.find_last_of(u"/\\");
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

bool inFile(const Filed& filed, std::u16string_view projectId, std::u16string_view fileId,
            std::u16string_view fileIdInternal) {
    if (filed.project != projectId) return false;
    const auto file = fileOf(*filed.measurement);
    return file == fileId || (!fileIdInternal.empty() && file == fileIdInternal);
}

} // namespace

VeskoIntegration::ListOf<api::Measurement>
VeskoIntegration::GetMeasurementProposals(Handle<String> projectId, Handle<List<api::ApprovalStatus>> approvalStatuses,
                                          int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetMeasurementProposals>(
        [&]() -> ListOf<api::Measurement> {
            if (!admit(responsecode, projectId)) return nullptr;
            // No statuses means no filter: the host asks for every proposal of the project.
            const auto wanted = [&](api::ApprovalStatus status) {
                if (approvalStatuses == nullptr || approvalStatuses->Count() == 0) return true;
                return std::find(approvalStatuses->begin(), approvalStatuses->end(), status) != approvalStatuses->end();
            };
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            auto answer = gcnew<List<Handle<api::Measurement>>>();
            for (const auto& filed : store.proposals)
                if (filed.project == text(projectId) && wanted(filed.measurement->Status))
                    answer->Add(copyOf(filed.measurement));
            responsecode = Ok;
            return answer;
        },
        projectId, approvalStatuses, responsecode);
}

Handle<api::Measurement> VeskoIntegration::GetMeasurementProposalByID(Handle<String> projectId,
                                                                      Handle<String> contractId, Handle<String> postId,
                                                                      Handle<String> measurementId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetMeasurementProposalByID>(
        [&]() -> Handle<api::Measurement> {
            if (!admit(responsecode, projectId, {contractId, postId, measurementId})) return nullptr;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            const auto* filed = findProposal(store, projectId, &contractId, &postId, measurementId);
            if (filed == nullptr) {
                responsecode = NotFound;
                return nullptr;
            }
            responsecode = Ok;
            return copyOf(filed->measurement);
        },
        projectId, contractId, postId, measurementId, responsecode);
}

Handle<api::Measurement> VeskoIntegration::NewMeasurementProposal(Handle<api::Measurement> measurement,
                                                                  Handle<String> projectId, Handle<String> contractId,
                                                                  Handle<String> postId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::NewMeasurementProposal>(
        [&]() -> Handle<api::Measurement> {
            if (!admit(responsecode, projectId, {contractId, postId})) return nullptr;
            if (measurement == nullptr || measurement->Item == nullptr) {
                responsecode = BadRequest;
                return nullptr;
            }
            // The service owns identity, time, post and author; a proposal starts out as proposed.
            auto stored = copyOf(measurement);
            stored->Id = str(newId(u"msr"));
            stored->DateCreated = now();
            stored->PostId = postId;
            if (text(stored->Creator).empty()) stored->Creator = str(signedInUser());
            if (stored->Status == api::ApprovalStatus::NA) stored->Status = api::ApprovalStatus::Proposed;
            if (stored->Comments == nullptr) stored->Comments = gcnew<List<Handle<api::Comment>>>();
            if (stored->Attachments == nullptr) stored->Attachments = gcnew<List<Handle<api::Attachment>>>();
            for (auto& attachment : *stored->Attachments)
                if (attachment != nullptr && text(attachment->Id).empty()) attachment->Id = str(newId(u"att"));

            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            store.proposals.push_back({text(projectId), text(contractId), text(postId), stored});
            responsecode = Created;
            return copyOf(stored);
        },
        measurement, projectId, contractId, postId, responsecode);
}

void VeskoIntegration::DeleteMeasurementProposal(Handle<String> projectId, Handle<String> contractId,
                                                 Handle<String> postId, Handle<String> measurementId,
                                                 int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::DeleteMeasurementProposal>(
        [&] {
            if (!admit(responsecode, projectId, {contractId, postId, measurementId})) return;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            const auto* filed = findProposal(store, projectId, &contractId, &postId, measurementId);
            if (filed == nullptr) {
                responsecode = NotFound;
                return;
            }
            store.proposals.erase(store.proposals.begin() + (filed - store.proposals.data()));
            responsecode = NoContent;
        },
        projectId, contractId, postId, measurementId, responsecode);
}

// Every proposal and quantity whose item belongs to the file goes, under either of its ids, together
// with the history of its actual quantities.
void VeskoIntegration::DeleteAllMeasurementsForFileId(Handle<String> projectId, Handle<String> fileId,
                                                      Handle<String> fileIdInternal, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::DeleteAllMeasurementsForFileId>(
        [&] {
            if (!admit(responsecode, projectId, {fileId})) return;
            const auto project = text(projectId), file = text(fileId), internal = text(fileIdInternal);
            const auto matches = [&](const Filed& filed) { return inFile(filed, project, file, internal); };
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            std::erase_if(store.proposals, matches);
            std::erase_if(store.estimated, matches);
            std::erase_if(store.actual, matches);
            std::erase_if(store.history, [&](const Recorded& recorded) {
                return recorded.project == project &&
                       (recorded.file == file || (!internal.empty() && recorded.file == internal));
            });
            responsecode = NoContent;
        },
        projectId, fileId, fileIdInternal, responsecode);
}

void VeskoIntegration::NewMeasurementProposalComment(Handle<api::Comment> comment, Handle<String> projectId,
                                                     Handle<String> postId, Handle<String> id, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::NewMeasurementProposalComment>(
        [&] {
            if (!admit(responsecode, projectId, {postId, id})) return;
            if (comment == nullptr) {
                responsecode = BadRequest;
                return;
            }
            auto stored = gcnew<api::Comment>(*comment);
            if (text(stored->Author).empty()) stored->Author = str(signedInUser());
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            auto* filed = findProposal(store, projectId, nullptr, &postId, id);
            if (filed == nullptr) {
                responsecode = NotFound;
                return;
            }
            filed->measurement->Comments->Add(stored);
            responsecode = Created;
        },
        comment, projectId, postId, id, responsecode);
}

void VeskoIntegration::NewMeasurementProposalAttachment(Handle<api::Attachment> attachment, Handle<String> projectId,
                                                        Handle<String> contractId, Handle<String> postId,
                                                        Handle<String> id, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::NewMeasurementProposalAttachment>(
        [&] {
            if (!admit(responsecode, projectId, {contractId, postId, id})) return;
            if (attachment == nullptr) {
                responsecode = BadRequest;
                return;
            }
            auto stored = gcnew<api::Attachment>(*attachment);
            if (text(stored->Id).empty()) stored->Id = str(newId(u"att"));
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            auto* filed = findProposal(store, projectId, &contractId, &postId, id);
            if (filed == nullptr) {
                responsecode = NotFound;
                return;
            }
            filed->measurement->Attachments->Add(stored);
            responsecode = Created;
        },
        attachment, projectId, contractId, postId, id, responsecode);
}

// The file is kept under its base name within the project; saving the same name again replaces it.
Handle<String> VeskoIntegration::SaveAttachment(Handle<String> filename, Handle<String> projectId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::SaveAttachment>(
        [&]() -> Handle<String> {
            if (!admit(responsecode, projectId, {filename})) return nullptr;
            const auto name = baseName(text(filename));
            if (name.empty()) {
                responsecode = BadRequest;
                return nullptr;
            }
            auto address = join({kFileHost, text(projectId), u"/", name});
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            if (std::find(store.savedFiles.begin(), store.savedFiles.end(), address) == store.savedFiles.end())
                store.savedFiles.push_back(address);
            responsecode = Created;
            return str(address);
        },
        filename, projectId, responsecode);
}

// Only files this service stored have a temporary address; it is valid for an hour.
Handle<String> VeskoIntegration::GetTemporaryUrl(Handle<String> uri, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetTemporaryUrl>(
        [&]() -> Handle<String> {
            if (!requireSession(responsecode)) return nullptr;
            const auto address = text(uri);
            if (address.empty()) {
                responsecode = BadRequest;
                return nullptr;
            }
            {
                auto& store = measurementStore();
                std::lock_guard lock(store.mutex);
                if (std::find(store.savedFiles.begin(), store.savedFiles.end(), address) == store.savedFiles.end()) {
                    responsecode = NotFound;
                    return nullptr;
                }
            }
            const auto expires = now().AddTicks(3600 * System::DateTime::TicksPerSecond);
            responsecode = Ok;
            return str(join({address, u"?expires=", isoText(expires), u"&sig=", newId(u"sig")}));
        },
        uri, responsecode);
}

// The service's own view is a window; the sandbox has none to show.
void VeskoIntegration::ShowMeasurementProposals(Handle<String> projectId, Handle<String> contractId,
                                                Handle<String> postId, bool approved, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::ShowMeasurementProposals>(
        [&] {
            if (!admit(responsecode, projectId)) return;
            responsecode = Ok;
        },
        projectId, contractId, postId, approved, responsecode);
}

void VeskoIntegration::GetMeasurementProposalDetails(Handle<String> projectId, Handle<String> proposalId,
                                                     bool& hasComments, bool& hasAttachments,
                                                     api::ApprovalStatus& approvalStatus, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::GetMeasurementProposalDetails>(
        [&] {
            if (!admit(responsecode, projectId, {proposalId})) return;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            const auto* filed = findProposal(store, projectId, nullptr, nullptr, proposalId);
            if (filed == nullptr) {
                responsecode = NotFound;
                return;
            }
            hasComments = filed->measurement->Comments->Count() > 0;
            hasAttachments = filed->measurement->Attachments->Count() > 0;
            approvalStatus = filed->measurement->Status;
            responsecode = Ok;
        },
        projectId, proposalId, hasComments, hasAttachments, approvalStatus, responsecode);
}

// The sandbox answers from its store every time; there is no cache to drop.
void VeskoIntegration::InvalidateMeasurementProposalsCache() {
    Sandbox::dispatch<&VeskoIntegration::InvalidateMeasurementProposalsCache>([] {});
}

// The current actual quantities of the project, summed per contract, post and file in the order the
// groups first appear. The item's id is given when every item of the group shares it.
VeskoIntegration::ListOf<api::MeasurementItemFileTotal>
VeskoIntegration::GetMeasurementItemsFileTotal(Handle<String> projectId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetMeasurementItemsFileTotal>(
        [&]() -> ListOf<api::MeasurementItemFileTotal> {
            if (!admit(responsecode, projectId)) return nullptr;
            auto& store = measurementStore();
            std::lock_guard lock(store.mutex);
            auto answer = gcnew<List<Handle<api::MeasurementItemFileTotal>>>();
            std::map<std::tuple<std::u16string, std::u16string, std::u16string>, Handle<api::MeasurementItemFileTotal>>
                groups;
            std::map<const api::MeasurementItemFileTotal*, int> items;
            for (const auto& filed : store.actual) {
                if (filed.project != text(projectId)) continue;
                const auto& m = *filed.measurement;
                const auto file = fileOf(m);
                auto& total = groups[{filed.contract, filed.post, file}];
                if (total == nullptr) {
                    total = gcnew<api::MeasurementItemFileTotal>();
                    total->contractId = str(filed.contract);
                    total->postId = str(filed.post);
                    total->connectedFileId = str(file);
                    total->clientProvidedId = m.Item->ClientProvidedId;
                    total->dateCreated = m.DateCreated;
                    total->dateModified = m.DateCreated;
                    total->id = str(join({u"tot-", filed.contract, u"-", filed.post, u"-", file}));
                    answer->Add(total);
                } else if (text(total->clientProvidedId) != text(m.Item->ClientProvidedId)) {
                    total->clientProvidedId = str(u"");
                }
                total->accumulatedQuantity += m.Quantity;
                if (m.DateCreated.Ticks() < total->dateCreated.Ticks()) total->dateCreated = m.DateCreated;
                if (m.DateCreated.Ticks() > total->dateModified.Ticks()) total->dateModified = m.DateCreated;
                ++items[total.get()];
            }
            for (auto& total : *answer)
                total->etag = str(join({u"\"", ascii(std::to_string(items[total.get()]).c_str()), u"\""}));
            responsecode = Ok;
            return answer;
        },
        projectId, responsecode);
}

} // namespace OrvaneModule
