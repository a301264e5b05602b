// The in-memory service: model-file descriptions, correlations, model uploads and revisions.
#include "State.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace OrvaneModule {

using namespace SandboxState;
namespace api = ApiModels;

namespace {

struct FileInfo {
    std::u16string connectedFileId;
    std::u16string clientProvidedId;
    api::ZelvoFileType fileType{};
    std::int32_t resolution = 0;
};

struct Correlation {
    std::u16string estimated;
    std::u16string actual;
};

// A deleted model keeps its last revision, so a later upload never reuses a number a host may cache.
struct Model {
    bool stored = false;
    std::int32_t revision = 0;
    std::u16string etag;
};

using FileKey = std::pair<std::u16string, std::u16string>; // project, file

struct ModelFiles {
    std::mutex mutex;
    std::map<FileKey, FileInfo> infos;
    std::map<std::u16string, std::vector<Correlation>> correlations; // per project, in the order made
    std::map<FileKey, Model> models;
};

ModelFiles& modelFiles() {
    static ModelFiles instance;
    return instance;
}

void resetModelFiles() {
    auto& m = modelFiles();
    std::lock_guard lock(m.mutex);
    m.infos.clear();
    m.correlations.clear();
    m.models.clear();
}
const ResetHook g_resetModelFiles(&resetModelFiles);

// The partition names the kind of file a lookup concerns: "estimated" or "actual" admits only files
// carrying that kind of quantities, and looks a correlated file up on that side of its pair only;
// "" admits every file and either side. Any other partition is a bad request.
enum class Partition { Any, Estimated, Actual };

std::optional<Partition> partitionOf(const Handle<String>& partition) {
    const std::u16string name = text(partition);
    if (name.empty()) return Partition::Any;
    if (name == u"estimated") return Partition::Estimated;
    if (name == u"actual") return Partition::Actual;
    return std::nullopt;
}

bool carries(api::ZelvoFileType type, Partition partition) {
    switch (partition) {
    case Partition::Any:
        return true;
    case Partition::Estimated:
        return type == api::ZelvoFileType::Estimated || type == api::ZelvoFileType::ActualAndEstimated;
    case Partition::Actual:
        return type == api::ZelvoFileType::Actual || type == api::ZelvoFileType::ActualAndEstimated;
    }
    return false;
}

// The checks every operation starts with: a session (401), the required ids (400), a known project (404).
bool admitted(int& responsecode, const Handle<String>& projectId, std::initializer_list<Handle<String>> ids) {
    if (!requireSession(responsecode)) return false;
    const std::u16string project = text(projectId);
    if (project.empty() || std::any_of(ids.begin(), ids.end(), [](const auto& id) { return text(id).empty(); })) {
        responsecode = BadRequest;
        return false;
    }
    if (!isSampleProject(project)) {
        responsecode = NotFound;
        return false;
    }
    return true;
}

Handle<api::ZelvoCorrelation> toService(const Correlation& c) {
    auto correlation = System::gcnew<api::ZelvoCorrelation>();
    correlation->EstimatedFileConnectedId = str(c.estimated);
    correlation->ActualFileConnectedId = str(c.actual);
    return correlation;
}

} // namespace

void VeskoIntegration::SetZelvoFileInfo(Handle<String> projectId, Handle<String> fileId,
                                        Handle<ApiModels::ZelvoFileInfo> zelvoFileInfo, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::SetZelvoFileInfo>(
        [&] {
            if (!admitted(responsecode, projectId, {fileId})) return;
            if (zelvoFileInfo == nullptr || !System::Enum::IsDefined(zelvoFileInfo->ZelvoFileType)) {
                responsecode = BadRequest;
                return;
            }
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            const auto [at, added] = m.infos.insert_or_assign(
                FileKey(text(projectId), text(fileId)),
                FileInfo{text(zelvoFileInfo->ConnectedFileId), text(zelvoFileInfo->ClientProvidedId),
                         zelvoFileInfo->ZelvoFileType, zelvoFileInfo->Resolution});
            responsecode = added ? Created : Ok;
        },
        projectId, fileId, zelvoFileInfo, responsecode);
}

Handle<ApiModels::ZelvoFileInfo> VeskoIntegration::GetZelvoFileInfo(Handle<String> projectId, Handle<String> partition,
                                                                    Handle<String> fileId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetZelvoFileInfo>(
        [&]() -> Handle<api::ZelvoFileInfo> {
            if (!admitted(responsecode, projectId, {fileId})) return nullptr;
            const auto scope = partitionOf(partition);
            if (!scope) {
                responsecode = BadRequest;
                return nullptr;
            }
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            const auto found = m.infos.find(FileKey(text(projectId), text(fileId)));
            if (found == m.infos.end() || !carries(found->second.fileType, *scope)) {
                responsecode = NotFound;
                return nullptr;
            }
            auto info = System::gcnew<api::ZelvoFileInfo>();
            info->ConnectedFileId = str(found->second.connectedFileId);
            info->ClientProvidedId = str(found->second.clientProvidedId);
            info->ZelvoFileType = found->second.fileType;
            info->Resolution = found->second.resolution;
            responsecode = Ok;
            return info;
        },
        projectId, partition, fileId, responsecode);
}

Handle<String> VeskoIntegration::GetZelvoCorrelatedFileId(Handle<String> projectId, Handle<String> partition,
                                                          Handle<String> fileId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetZelvoCorrelatedFileId>(
        [&]() -> Handle<String> {
            if (!admitted(responsecode, projectId, {fileId})) return nullptr;
            const auto scope = partitionOf(partition);
            if (!scope) {
                responsecode = BadRequest;
                return nullptr;
            }
            const std::u16string file = text(fileId);
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            for (const auto& c : m.correlations[text(projectId)]) {
                if (c.estimated == file && *scope != Partition::Actual) {
                    responsecode = Ok;
                    return str(c.actual);
                }
                if (c.actual == file && *scope != Partition::Estimated) {
                    responsecode = Ok;
                    return str(c.estimated);
                }
            }
            responsecode = NotFound;
            return nullptr;
        },
        projectId, partition, fileId, responsecode);
}

void VeskoIntegration::SetZelvoCorrelatedFiles(Handle<String> projectId, Handle<String> fileIdEstimated,
                                               Handle<String> fileIdActual, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::SetZelvoCorrelatedFiles>(
        [&] {
            if (!admitted(responsecode, projectId, {fileIdEstimated, fileIdActual})) return;
            const std::u16string project = text(projectId);
            const std::u16string estimated = text(fileIdEstimated);
            const std::u16string actual = text(fileIdActual);
            if (estimated == actual) {
                responsecode = BadRequest;
                return;
            }
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            // Only described files can be correlated.
            if (!m.infos.contains(FileKey(project, estimated)) || !m.infos.contains(FileKey(project, actual))) {
                responsecode = NotFound;
                return;
            }
            // A file has at most one partner: a new pair replaces any pair either file was in.
            auto& pairs = m.correlations[project];
            std::erase_if(pairs, [&](const Correlation& c) {
                return c.estimated == estimated || c.actual == estimated || c.estimated == actual || c.actual == actual;
            });
            pairs.push_back(Correlation{estimated, actual});
            responsecode = Created;
        },
        projectId, fileIdEstimated, fileIdActual, responsecode);
}

void VeskoIntegration::DeleteZelvoCorrelatedFiles(Handle<String> projectId, Handle<String> fileId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::DeleteZelvoCorrelatedFiles>(
        [&] {
            if (!admitted(responsecode, projectId, {fileId})) return;
            const std::u16string file = text(fileId);
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            const auto removed = std::erase_if(m.correlations[text(projectId)], [&](const Correlation& c) {
                return c.estimated == file || c.actual == file;
            });
            responsecode = removed > 0 ? NoContent : NotFound;
        },
        projectId, fileId, responsecode);
}

VeskoIntegration::ListOf<ApiModels::ZelvoCorrelation>
VeskoIntegration::GetZelvoCorrelations(Handle<String> projectId, Handle<String> partition, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetZelvoCorrelations>(
        [&]() -> ListOf<api::ZelvoCorrelation> {
            if (!admitted(responsecode, projectId, {})) return nullptr;
            // Every pair has a file of each kind, so any valid partition admits every pair.
            if (!partitionOf(partition)) {
                responsecode = BadRequest;
                return nullptr;
            }
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            const auto& pairs = m.correlations[text(projectId)];
            auto list = System::gcnew<List<Handle<api::ZelvoCorrelation>>>(static_cast<int>(pairs.size()));
            for (const auto& c : pairs) list->Add(toService(c));
            responsecode = Ok;
            return list;
        },
        projectId, partition, responsecode);
}

// The model revision counts this file's uploads (1 for the first); fileRevision is the host's own
// numbering of the file and does not take part in it.
void VeskoIntegration::PutZelvoModel(ListOf<ApiModels::ZelvoModelGeometry> modelGeometries, Handle<String> projectId,
                                     Handle<String> fileId, int fileRevision, Handle<String> checkSum, int epsgId,
                                     int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::PutZelvoModel>(
        [&] {
            if (!admitted(responsecode, projectId, {fileId, checkSum})) return;
            const bool wellFormed =
                modelGeometries != nullptr && epsgId > 0 &&
                std::all_of(modelGeometries->begin(), modelGeometries->end(), [](const auto& geometry) {
                    return geometry != nullptr && geometry->Metadata != nullptr &&
                           System::Enum::IsDefined(geometry->Metadata->Type);
                });
            if (!wellFormed) {
                responsecode = BadRequest;
                return;
            }
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            auto& model = m.models[FileKey(text(projectId), text(fileId))];
            const bool replaced = model.stored;
            model.stored = true;
            ++model.revision;
            model.etag = u"\"" + text(checkSum) + u"\"";
            responsecode = replaced ? Ok : Created;
        },
        modelGeometries, projectId, fileId, fileRevision, checkSum, epsgId, responsecode);
}

void VeskoIntegration::DeleteZelvoModel(Handle<String> projectId, Handle<String> fileId, int& responsecode) {
    Sandbox::dispatch<&VeskoIntegration::DeleteZelvoModel>(
        [&] {
            if (!admitted(responsecode, projectId, {fileId})) return;
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            const auto found = m.models.find(FileKey(text(projectId), text(fileId)));
            if (found == m.models.end() || !found->second.stored) {
                responsecode = NotFound;
                return;
            }
            found->second.stored = false;
            found->second.etag.clear();
            responsecode = NoContent;
        },
        projectId, fileId, responsecode);
}

Handle<ApiModels::ZelvoModelRevision>
VeskoIntegration::GetZelvoModelRevision(Handle<String> projectId, Handle<String> fileId, int& responsecode) {
    return Sandbox::dispatch<&VeskoIntegration::GetZelvoModelRevision>(
        [&]() -> Handle<api::ZelvoModelRevision> {
            if (!admitted(responsecode, projectId, {fileId})) return nullptr;
            auto& m = modelFiles();
            std::lock_guard lock(m.mutex);
            const auto found = m.models.find(FileKey(text(projectId), text(fileId)));
            if (found == m.models.end() || !found->second.stored) {
                responsecode = NotFound;
                return nullptr;
            }
            auto revision = System::gcnew<api::ZelvoModelRevision>();
            revision->Revision = found->second.revision;
            revision->ETag = str(found->second.etag);
            responsecode = Ok;
            return revision;
        },
        projectId, fileId, responsecode);
}

} // namespace OrvaneModule
