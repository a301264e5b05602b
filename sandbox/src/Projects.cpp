// The in-memory service: projects, their contracts and posts, the post dialogs.
#include "State.h"

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace OrvaneModule {

using namespace SandboxState;
namespace api = ApiModels;
using System::DateTime;
using System::DateTimeKind;
using System::gcnew;
using System::Collections::Generic::List;

namespace {

struct PostData {
    std::u16string id, number, title, internalNote;
    DateTime created, modified;
    std::u16string unit;
    double contractQuantity = 0.0;
    double accumulatedQuantity = 0.0;
    bool visible = true;
};

struct ContractData {
    std::u16string id, name, prefix, number, standard, type, status;
    DateTime created, modified;
    std::u16string relatedContractId; // empty: none
    std::vector<PostData> posts;
};

struct DueDateData {
    std::u16string name;
    DateTime due;
};

struct ProjectData {
    std::u16string id, name, number, customer;
    std::optional<DateTime> created, modified;
    std::vector<DueDateData> dueDates;
    std::vector<ContractData> contracts;
};

DateTime utc(int year, int month, int day, int hour = 0, int minute = 0) {
    return DateTime(year, month, day, hour, minute, 0, DateTimeKind::Utc);
}

// The sample tenant: two projects, each with a main contract and a second contract related to it.
std::vector<ProjectData> sampleProjects() {
    static_assert(kSampleProjects.size() == 2);
    ProjectData bridge{
        .id = std::u16string(kSampleProjects[0]),
        .name = u"Fjord Bridge",
        .number = u"P-2024-017",
        .customer = u"Nordfjord Municipality",
        .created = utc(2024, 3, 1, 9),
        .modified = utc(2025, 11, 20, 14, 30),
        .dueDates = {{u"Monthly report", utc(2026, 3, 31)}, {u"Final account", utc(2026, 12, 15)}},
        .contracts = {},
    };
    bridge.contracts.push_back({
        .id = u"ctr-fb-main",
        .name = u"Main works",
        .prefix = u"FB",
        .number = u"K01",
        .standard = u"NS 8405",
        .type = u"Construction",
        .status = u"Active",
        .created = utc(2024, 3, 4, 10),
        .modified = utc(2025, 10, 2, 8),
        .relatedContractId = {},
        .posts =
            {
                {u"pst-fb-001", u"01.01.001", u"Site establishment", u"", utc(2024, 3, 4, 10), utc(2024, 3, 4, 10),
                 u"lump", 1.0, 1.0, true},
                {u"pst-fb-002", u"02.03.010", u"Excavation in soil", u"Disposal at the county tip", utc(2024, 3, 4, 10),
                 utc(2025, 9, 30, 16), u"m3", 12500.0, 8340.5, true},
                {u"pst-fb-003", u"02.03.020", u"Rock blasting", u"", utc(2024, 3, 4, 10), utc(2024, 3, 4, 10), u"m3",
                 4200.0, 0.0, false},
            },
    });
    bridge.contracts.push_back({
        .id = u"ctr-fb-change",
        .name = u"Change order 1",
        .prefix = u"FB",
        .number = u"K01-E1",
        .standard = u"NS 8405",
        .type = u"ChangeOrder",
        .status = u"Active",
        .created = utc(2025, 6, 12, 13),
        .modified = utc(2025, 6, 12, 13),
        .relatedContractId = u"ctr-fb-main",
        .posts = {{u"pst-fb-101", u"05.01.001", u"Extra piling", u"", utc(2025, 6, 12, 13), utc(2025, 8, 1, 7), u"m",
                   320.0, 120.25, true}},
    });

    // Never modified: its DateModified is absent until the project is saved.
    ProjectData ringRoad{
        .id = std::u16string(kSampleProjects[1]),
        .name = u"Ring Road East",
        .number = u"P-2025-003",
        .customer = u"Eastern Region Roads",
        .created = utc(2025, 1, 15, 8),
        .modified = std::nullopt,
        .dueDates = {{u"Quarterly report", utc(2026, 4, 1)}},
        .contracts = {},
    };
    ringRoad.contracts.push_back({
        .id = u"ctr-rr-paving",
        .name = u"Paving",
        .prefix = u"RR",
        .number = u"K02",
        .standard = u"NS 8406",
        .type = u"Construction",
        .status = u"Active",
        .created = utc(2025, 1, 20, 9),
        .modified = utc(2025, 5, 5, 11),
        .relatedContractId = {},
        .posts =
            {
                {u"pst-rr-001", u"07.01.001", u"Asphalt base course", u"", utc(2025, 1, 20, 9), utc(2025, 5, 5, 11),
                 u"t", 5400.0, 2100.0, true},
                {u"pst-rr-002", u"07.01.002", u"Road markings", u"", utc(2025, 1, 20, 9), utc(2025, 1, 20, 9), u"m",
                 8000.0, 0.0, false},
            },
    });
    ringRoad.contracts.push_back({
        .id = u"ctr-rr-lighting",
        .name = u"Street lighting",
        .prefix = u"RR",
        .number = u"K03",
        .standard = u"NS 8406",
        .type = u"Construction",
        .status = u"Planned",
        .created = utc(2025, 2, 3, 12),
        .modified = utc(2025, 2, 3, 12),
        .relatedContractId = u"ctr-rr-paving",
        .posts = {{u"pst-rr-101", u"09.02.001", u"Lighting poles", u"Foundations by the paving contractor",
                   utc(2025, 2, 3, 12), utc(2025, 4, 9, 15), u"pcs", 140.0, 35.0, true}},
    });

    std::vector<ProjectData> projects;
    projects.push_back(std::move(bridge));
    projects.push_back(std::move(ringRoad));
    return projects;
}

struct Catalog {
    std::mutex mutex;
    std::vector<ProjectData> projects = sampleProjects();

    ProjectData* find(std::u16string_view id) {
        for (auto& project : projects)
            if (project.id == id) return &project;
        return nullptr;
    }
};

Catalog& catalog() {
    static Catalog instance;
    return instance;
}

void resetCatalog() {
    auto& c = catalog();
    std::lock_guard lock(c.mutex);
    c.projects = sampleProjects();
}
const ResetHook g_resetCatalog(&resetCatalog);

// Missing text is null in the service's answers, as the real service leaves it.
Handle<String> textOrNull(const std::u16string& value) {
    return value.empty() ? nullptr : str(value);
}

// Every answer is built afresh, so nothing a caller does with it reaches the catalog.
Handle<api::Post> toService(const PostData& post) {
    auto to = gcnew<api::Post>();
    to->Id = str(post.id);
    to->PostNumber = str(post.number);
    to->Title = str(post.title);
    to->InternalNote = textOrNull(post.internalNote);
    to->DateCreated = post.created;
    to->DateModified = post.modified;
    to->Unit = str(post.unit);
    to->ContractQuantity = post.contractQuantity;
    to->AccumulatedQuantity = post.accumulatedQuantity;
    return to;
}

Handle<api::Contract> toService(const ContractData& contract, const ProjectData& project) {
    auto to = gcnew<api::Contract>();
    to->Id = str(contract.id);
    to->Name = str(contract.name);
    to->Prefix = str(contract.prefix);
    to->Number = str(contract.number);
    to->Standard = str(contract.standard);
    to->Type = str(contract.type);
    to->Status = str(contract.status);
    to->DateCreated = contract.created;
    to->DateModified = contract.modified;
    to->posts = gcnew<List<Handle<api::Post>>>(static_cast<int>(contract.posts.size()));
    for (const auto& post : contract.posts) to->posts->Add(toService(post));
    for (const auto& related : project.contracts) {
        if (contract.relatedContractId.empty() || related.id != contract.relatedContractId) continue;
        to->RelatedContract = gcnew<api::RelatedContract>();
        to->RelatedContract->Id = str(related.id);
        to->RelatedContract->Name = str(related.name);
    }
    return to;
}

Handle<api::Project> toService(const ProjectData& project) {
    auto to = gcnew<api::Project>();
    to->Id = str(project.id);
    to->Name = str(project.name);
    to->ProjectNumber = str(project.number);
    to->CustomerName = str(project.customer);
    if (project.created) to->DateCreated = *project.created;
    if (project.modified) to->DateModified = *project.modified;
    to->ReportDueDates = gcnew<List<Handle<api::ReportDueDate>>>(static_cast<int>(project.dueDates.size()));
    for (const auto& due : project.dueDates) {
        auto date = gcnew<api::ReportDueDate>();
        date->Name = str(due.name);
        date->DueDate = due.due;
        to->ReportDueDates->Add(std::move(date));
    }
    return to;
}

VeskoIntegration::ListOf<api::Contract> contractsOf(const ProjectData& project) {
    auto list = gcnew<List<Handle<api::Contract>>>(static_cast<int>(project.contracts.size()));
    for (const auto& contract : project.contracts) list->Add(toService(contract, project));
    return list;
}

VeskoIntegration::ListOf<Models::ContractPost> postsOf(const ProjectData& project, bool visibleOnly) {
    auto list = gcnew<List<Handle<Models::ContractPost>>>();
    for (const auto& contract : project.contracts) {
        for (const auto& post : contract.posts) {
            if (visibleOnly && !post.visible) continue;
            auto to = gcnew<Models::ContractPost>();
            to->Id = str(post.id);
            to->PostNumber = str(post.number);
            to->Title = str(post.title);
            to->Unit = str(post.unit);
            to->Visible = post.visible;
            to->ContractId = str(contract.id);
            to->ContractType = str(contract.type);
            list->Add(std::move(to));
        }
    }
    return list;
}

// The checks every project operation shares: 401 without a session, 400 for an empty id, 404 for an
// unknown project. Runs `answer` under the catalog's lock only when all pass; otherwise answers R().
template <class R, class F>
R withProject(const Handle<String>& projectId, int& responsecode, F&& answer) {
    if (!requireSession(responsecode)) return R();
    const std::u16string id = text(projectId);
    if (id.empty()) {
        responsecode = BadRequest;
        return R();
    }
    auto& c = catalog();
    std::lock_guard lock(c.mutex);
    ProjectData* project = c.find(id);
    if (project == nullptr) {
        responsecode = NotFound;
        return R();
    }
    responsecode = Ok;
    return answer(*project);
}

} // namespace

bool VeskoIntegration::SetProject(Handle<String> projectId) {
    return Sandbox::dispatch<&VeskoIntegration::SetProject>(
        [&] {
            int unused = 0;
            const bool known = withProject<bool>(projectId, unused, [](ProjectData&) { return true; });
            if (known) setCurrentProject(text(projectId));
            return known;
        },
        projectId);
}

void VeskoIntegration::LoadProject(Handle<String> projectId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::LoadProject>(
        [&] { withProject<void>(projectId, responsecode, [](ProjectData&) {}); }, projectId, responsecode);
}

void VeskoIntegration::SaveProject(Handle<String> projectId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::SaveProject>(
        [&] { withProject<void>(projectId, responsecode, [](ProjectData& project) { project.modified = now(); }); },
        projectId, responsecode);
}

void VeskoIntegration::CloseProject() {
    Sandbox::dispatch<&VeskoIntegration::CloseProject>([] { setCurrentProject(u""); });
}

Handle<api::Project> VeskoIntegration::GetProjectByID(Handle<String> id, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetProjectByID>(
        [&] {
            return withProject<Handle<api::Project>>(id, responsecode,
                                                     [](const ProjectData& project) { return toService(project); });
        },
        id, responsecode);
}

Handle<api::Project> VeskoIntegration::GetContractProject(Handle<String> id, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetContractProject>(
        [&]() -> Handle<api::Project> {
            if (!requireSession(responsecode)) return nullptr;
            const std::u16string contractId = text(id);
            if (contractId.empty()) {
                responsecode = BadRequest;
                return nullptr;
            }
            auto& c = catalog();
            std::lock_guard lock(c.mutex);
            for (const auto& project : c.projects) {
                for (const auto& contract : project.contracts) {
                    if (contract.id != contractId) continue;
                    responsecode = Ok;
                    return toService(project);
                }
            }
            responsecode = NotFound;
            return nullptr;
        },
        id, responsecode);
}

void VeskoIntegration::LoadPosts(Handle<String> projectId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::LoadPosts>(
        [&] { withProject<void>(projectId, responsecode, [](ProjectData&) {}); }, projectId, responsecode);
}

void VeskoIntegration::SavePosts(Handle<String> projectId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::SavePosts>(
        [&] { withProject<void>(projectId, responsecode, [](ProjectData&) {}); }, projectId, responsecode);
}

Handle<String> VeskoIntegration::GetPostDataFileName(Handle<String> projectId) {
    return Sandbox::dispatch<&VeskoIntegration::GetPostDataFileName>(
        [&] {
            int unused = 0;
            return withProject<Handle<String>>(
                projectId, unused, [](const ProjectData& project) { return str(project.id + u".posts.json"); });
        },
        projectId);
}

Handle<api::ContractMeta> VeskoIntegration::GetContracts(Handle<String> projectId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetContracts>(
        [&] {
            return withProject<Handle<api::ContractMeta>>(projectId, responsecode, [](const ProjectData& project) {
                auto meta = gcnew<api::ContractMeta>();
                meta->contracts = contractsOf(project);
                return meta;
            });
        },
        projectId, responsecode);
}

VeskoIntegration::ListOf<api::Contract> VeskoIntegration::GetPostsMeta(Handle<String> projectId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetPostsMeta>(
        [&] { return withProject<ListOf<api::Contract>>(projectId, responsecode, contractsOf); }, projectId,
        responsecode);
}

VeskoIntegration::ListOf<Models::ContractPost> VeskoIntegration::GetAllPosts(Handle<String> projectId, bool forceDialog,
                                                                             int& responsecode) {
    // The sandbox has no dialog to force; the posts are the same either way.
    return Sandbox::dispatch<&VeskoIntegration::GetAllPosts>(
        [&] {
            return withProject<ListOf<Models::ContractPost>>(
                projectId, responsecode, [](const ProjectData& project) { return postsOf(project, false); });
        },
        projectId, forceDialog, responsecode);
}

VeskoIntegration::ListOf<Models::ContractPost> VeskoIntegration::GetVisiblePosts(Handle<String> projectId,
                                                                                 int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetVisiblePosts>(
        [&] {
            return withProject<ListOf<Models::ContractPost>>(
                projectId, responsecode, [](const ProjectData& project) { return postsOf(project, true); });
        },
        projectId, responsecode);
}

bool VeskoIntegration::ShowManageContractPostsDialog(Handle<String> projectId, Handle<String> contractId) {
    // The user confirms the dialog whenever it can be shown, that is for a contract of the project.
    return Sandbox::dispatch<&VeskoIntegration::ShowManageContractPostsDialog>(
        [&] {
            int unused = 0;
            const std::u16string contract = text(contractId);
            return withProject<bool>(projectId, unused, [&](const ProjectData& project) {
                for (const auto& c : project.contracts)
                    if (c.id == contract) return true;
                return false;
            });
        },
        projectId, contractId);
}

void VeskoIntegration::ShowContractPostInfo(Handle<String> projectId, Handle<String> postId) {
    // An information window the user closes; nothing in the service changes.
    Sandbox::dispatch<&VeskoIntegration::ShowContractPostInfo>([] {}, projectId, postId);
}

} // namespace OrvaneModule
