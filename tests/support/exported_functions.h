// The one list of the exported functions for tests: for each, how to script its facade operation and
// how to call it as a host does, checking that the result is the function's fallback.
#pragma once

#include "support/service.h"

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace test {

// The value a scripted facade leaves in `responsecode` before it fails or answers.
inline constexpr int kScriptedResponseCode = 599;

using Raise = std::function<void()>;
// Keeps a script active while held.
using ScriptHold = std::shared_ptr<void>;

namespace detail {

template <auto Op>
struct Scripting;

template <class R, class... Args, R (*Op)(Args...)>
struct Scripting<Op> {
    static constexpr bool answers = !std::is_void_v<R>;

    // Writes the response code (when the operation has one), then raises.
    static ScriptHold raising(Raise raise) {
        return hold(Sandbox::script<Op>([raise](Args... args) -> R {
            (writeResponseCode<Args>(args), ...);
            raise();
            if constexpr (answers) return R{};
        }));
    }

    // Writes the response code and answers null (or false).
    static ScriptHold answeringNull() {
        return hold(Sandbox::script<Op>([](Args... args) -> R {
            (writeResponseCode<Args>(args), ...);
            if constexpr (answers) return R{};
        }));
    }

private:
    template <class Declared, class A>
    static void writeResponseCode(A& arg) {
        if constexpr (std::is_same_v<Declared, int&>) arg = kScriptedResponseCode;
    }

    template <class Guard>
    static ScriptHold hold(Guard&& guard) {
        return std::make_shared<std::remove_cvref_t<Guard>>(std::forward<Guard>(guard));
    }
};

template <class R, class... Args>
constexpr bool takesResponseCode(R (*)(Args...)) {
    return (std::is_same_v<Args, int&> || ...);
}

} // namespace detail

struct ExportedFunction {
    const char* name;
    bool hasResponseCode;
    bool answers; // the facade operation has a result, which the script can make null or false
    std::function<ScriptHold(Raise)> scriptRaising;
    std::function<ScriptHold()> scriptNull;
    // Calls the function as a host does; true when it returned its fallback.
    std::function<bool(int& responsecode)> returnsFallback;
};

template <auto Op, class Call>
ExportedFunction exported(const char* name, Call call) {
    using S = detail::Scripting<Op>;
    return {name, detail::takesResponseCode(Op), S::answers, &S::raising, &S::answeringNull, call};
}

// All 57, in the order of the host's header.
inline const std::vector<ExportedFunction>& exportedFunctions() {
    namespace oi = OrvaneModuleIntegration;
    using V = VeskoIntegration;
    static const std::string p = "prj-fjordbridge", c = "ctr-1", po = "pst-1", id = "id-1", f = "file-1";
    static const std::vector<ExportedFunction> all = {
        // sign-in and help
        exported<&V::Login>("Login", [](int& rc) { return !oi::Login("ada", "t", rc); }),
        exported<&V::Logout>("Logout", [](int&) { return !oi::Logout(); }),
        exported<&V::IsLoggedIn>("IsLoggedIn", [](int&) { return !oi::IsLoggedIn(); }),
        exported<&V::GetLoggedInUser>("GetLoggedInUser", [](int& rc) { return oi::GetLoggedInUser(rc).empty(); }),
        exported<&V::GetBearerToken>("GetBearerToken",
                                     [](int&) {
                                         std::string user = "old", tenant = "old";
                                         oi::GetBearerToken(false, user, tenant);
                                         return user.empty() && tenant.empty();
                                     }),
        exported<&V::SetTenantUniqueId>("SetTenantUniqueId", [](int&) { return oi::SetTenantUniqueId("t"), true; }),
        exported<&V::SetCurrentAppLanguage>("SetCurrentAppLanguage",
                                            [](int&) { return oi::SetCurrentAppLanguage("nb"), true; }),
        exported<&V::SetCallbacks>(
            "SetCallbacks", [](int&) { return oi::SetCallbacks([](const std::string&) { return true; }), true; }),
        // projects, contracts and posts
        exported<&V::LoadProject>("LoadProject", [](int& rc) { return oi::LoadProject(p, rc), true; }),
        exported<&V::SaveProject>("SaveProject", [](int& rc) { return oi::SaveProject(p, rc), true; }),
        exported<&V::SetProject>("SetProject", [](int&) { return !oi::SetProject(p); }),
        exported<&V::CloseProject>("CloseProject", [](int&) { return oi::CloseProject(), true; }),
        exported<&V::GetProjectByID>("GetProjectById", [](int& rc) { return !oi::GetProjectById(p, rc); }),
        exported<&V::GetContractProject>("GetContractProject", [](int& rc) { return !oi::GetContractProject(c, rc); }),
        exported<&V::LoadPosts>("LoadPosts", [](int& rc) { return oi::LoadPosts(p, rc), true; }),
        exported<&V::SavePosts>("SavePosts", [](int& rc) { return !oi::SavePosts(p, rc); }),
        exported<&V::GetPostDataFileName>("GetPostDataFileName",
                                          [](int&) { return oi::GetPostDataFileName(p).empty(); }),
        exported<&V::GetContracts>("GetContracts", [](int& rc) { return oi::GetContracts(p, rc).contracts.empty(); }),
        exported<&V::GetPostsMeta>("GetPostsMeta", [](int& rc) { return oi::GetPostsMeta(p, rc).empty(); }),
        exported<&V::GetAllPosts>("GetAllPosts", [](int& rc) { return oi::GetAllPosts(p, true, rc).empty(); }),
        exported<&V::GetVisiblePosts>("GetVisiblePosts", [](int& rc) { return oi::GetVisiblePosts(p, rc).empty(); }),
        exported<&V::ShowManageContractPostsDialog>("ShowManageContractPostsDialog",
                                                    [](int&) { return !oi::ShowManageContractPostsDialog(p, c); }),
        exported<&V::ShowContractPostInfo>("ShowContractPostInfo",
                                           [](int&) { return oi::ShowContractPostInfo(p, po), true; }),
        // measurement proposals
        exported<&V::GetMeasurementProposals>(
            "GetMeasurementProposals",
            [](int& rc) { return oi::GetMeasurementProposals(p, {ApprovalStatus::Proposed}, rc).empty(); }),
        exported<&V::GetMeasurementProposalByID>(
            "GetMeasurementProposalById", [](int& rc) { return !oi::GetMeasurementProposalById(p, c, po, id, rc); }),
        exported<&V::NewMeasurementProposal>("NewMeasurementProposal",
                                             [](int& rc) { return !oi::NewMeasurementProposal({}, p, c, po, rc); }),
        exported<&V::DeleteMeasurementProposal>(
            "DeleteMeasurementProposal", [](int& rc) { return !oi::DeleteMeasurementProposal(p, c, po, id, rc); }),
        exported<&V::DeleteAllMeasurementsForFileId>(
            "DeleteAllMeasurementsForFileId", [](int& rc) { return !oi::DeleteAllMeasurementsForFileId(p, f, f, rc); }),
        exported<&V::NewMeasurementProposalComment>(
            "CreateMeasurementProposalComment",
            [](int& rc) { return oi::CreateMeasurementProposalComment({}, p, po, id, rc), true; }),
        exported<&V::NewMeasurementProposalAttachment>(
            "NewMeasurementProposalAttachment",
            [](int& rc) { return !oi::NewMeasurementProposalAttachment({}, p, c, po, id, rc); }),
        exported<&V::SaveAttachment>("SaveAttachment",
                                     [](int& rc) { return oi::SaveAttachment("a.pdf", p, rc).empty(); }),
        exported<&V::GetTemporaryUrl>("GetTemporaryUrl", [](int& rc) { return oi::GetTemporaryUrl("u", rc).empty(); }),
        exported<&V::ShowMeasurementProposals>(
            "ShowMeasurementProposals", [](int& rc) { return oi::ShowMeasurementProposals(p, c, po, true, rc), true; }),
        exported<&V::GetMeasurementProposalDetails>("GetMeasurementProposalDetails",
                                                    [](int& rc) {
                                                        bool comments = true, attachments = true;
                                                        ApprovalStatus status = ApprovalStatus::Invoiced;
                                                        oi::GetMeasurementProposalDetails(p, id, comments, attachments,
                                                                                          status, rc);
                                                        // The flags are the host's until the service writes them.
                                                        return comments && attachments && status == ApprovalStatus::NA;
                                                    }),
        exported<&V::InvalidateMeasurementProposalsCache>(
            "InvalidateMeasurementProposalsCache",
            [](int&) { return oi::InvalidateMeasurementProposalsCache(), true; }),
        exported<&V::GetMeasurementItemsFileTotal>(
            "GetMeasurementItemsFileTotal", [](int& rc) { return oi::GetMeasurementItemsFileTotal(p, rc).empty(); }),
        // quantities
        exported<&V::NewEstimatedQuantity>("NewEstimatedQuantity",
                                           [](int& rc) { return !oi::NewEstimatedQuantity({}, p, c, po, rc); }),
        exported<&V::DeleteEstimatedQuantities>("DeleteEstimatedQuantities",
                                                [](int& rc) { return oi::DeleteEstimatedQuantities(p, f, rc), true; }),
        exported<&V::GetEstimatedQuantities>("GetEstimatedQuantities",
                                             [](int& rc) { return oi::GetEstimatedQuantities(p, rc).empty(); }),
        exported<&V::NewActualQuantity>("NewActualQuantity",
                                        [](int& rc) { return !oi::NewActualQuantity({}, p, c, po, rc); }),
        exported<&V::DeleteActualQuantities>("DeleteActualQuantities",
                                             [](int& rc) { return oi::DeleteActualQuantities(p, f, rc), true; }),
        exported<&V::GetActualQuantities>("GetActualQuantities",
                                          [](int& rc) { return oi::GetActualQuantities(p, rc).empty(); }),
        exported<&V::GetActualHistoricalQuantities>(
            "GetActualHistoricalQuantities",
            [](int& rc) { return oi::GetActualHistoricalQuantities(p, c, po, f, rc).empty(); }),
        exported<&V::DeleteActualHistoricalQuantity>(
            "DeleteActualHistoricalQuantity",
            [](int& rc) { return oi::DeleteActualHistoricalQuantity(p, c, po, id, rc), true; }),
        // model files
        exported<&V::SetZelvoFileInfo>("SetZelvoFileInfo",
                                       [](int& rc) { return oi::SetZelvoFileInfo(p, f, {}, rc), true; }),
        exported<&V::GetZelvoFileInfo>("GetZelvoFileInfo", [](int& rc) { return !oi::GetZelvoFileInfo(p, "", f, rc); }),
        exported<&V::GetZelvoCorrelatedFileId>("GetZelvoCorrelatedFileId",
                                               [](int& rc) { return !oi::GetZelvoCorrelatedFileId(p, "", f, rc); }),
        exported<&V::SetZelvoCorrelatedFiles>(
            "SetZelvoCorrelatedFiles", [](int& rc) { return oi::SetZelvoCorrelatedFiles(p, f, "file-2", rc), true; }),
        exported<&V::DeleteZelvoCorrelatedFiles>(
            "DeleteZelvoCorrelatedFiles", [](int& rc) { return oi::DeleteZelvoCorrelatedFiles(p, f, rc), true; }),
        exported<&V::GetZelvoCorrelations>("GetZelvoCorrelations",
                                           [](int& rc) { return oi::GetZelvoCorrelations(p, "", rc).empty(); }),
        exported<&V::PutZelvoModel>("PutZelvoModel",
                                    [](int& rc) {
                                        oi::PutZelvoModel({ZelvoModelGeometry{"LINESTRING(0 0,1 1)", {}}}, p, f, 1,
                                                          "abc", 25832, rc);
                                        return true;
                                    }),
        exported<&V::DeleteZelvoModel>("DeleteZelvoModel",
                                       [](int& rc) { return oi::DeleteZelvoModel(p, f, rc), true; }),
        exported<&V::GetZelvoModelRevision>("GetZelvoModelRevision",
                                            [](int& rc) { return !oi::GetZelvoModelRevision(p, f, rc); }),
        // users, roles, permissions and modules
        exported<&V::GetUserPermissions>("GetUserPermissions",
                                         [](int& rc) { return oi::GetUserPermissions(p, rc).empty(); }),
        exported<&V::GetUserRoles>("GetUserRoles", [](int& rc) { return oi::GetUserRoles(p, rc).empty(); }),
        exported<&V::AddUserRole>("AddUserRole", [](int& rc) { return !oi::AddUserRole(p, UserRole::Observer, rc); }),
        exported<&V::GetModules>("GetModules", [](int& rc) { return oi::GetModules(p, rc).empty(); }),
    };
    return all;
}

} // namespace test
