// A host at a user's desk: signs in, opens a project, measures, records quantities, works with model
// files, asks for help and signs out — all against the sandbox service. Prints a short report and
// exits non-zero when any step did not give the answer a host expects.
#include <OrvaneModule/Sandbox.h>
#include <OrvaneModuleIntegration/OrvaneModuleIntegration.h>
#include <win32/CodePage.h>

#include <magic_enum/magic_enum.hpp>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace oi = OrvaneModuleIntegration;

namespace {

// One line per step: what was asked, what came back, and whether that is what a host expects.
class Report {
public:
    void section(const char* title) { std::printf("\n%s\n", title); }

    bool check(const std::string& step, const std::string& answer, bool expected) {
        std::printf("  %-44s %-40s %s\n", step.c_str(), answer.c_str(), expected ? "ok" : "UNEXPECTED");
        if (!expected) ++failures_;
        return expected;
    }

    int failures() const { return failures_; }

private:
    int failures_ = 0;
};

std::string code(int responsecode) {
    return "responsecode " + std::to_string(responsecode);
}

template <class E>
std::string names(const std::vector<E>& values, std::size_t shown = 3) {
    std::string text;
    for (std::size_t i = 0; i < values.size() && i < shown; ++i)
        text += (i ? ", " : "") + std::string(magic_enum::enum_name(values[i]));
    if (values.size() > shown) text += ", ... (" + std::to_string(values.size()) + ")";
    return text.empty() ? "(none)" : text;
}

template <class E>
bool contains(const std::vector<E>& values, E value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

TimePoint at(int daysAfterEpoch) {
    return TimePoint(std::chrono::days(daysAfterEpoch));
}

} // namespace

int main() {
    // Text is narrow text in the thread's ANSI code page; this host works in Windows-1252.
    win32::SetThreadAnsiCodePage(1252);
    Report report;
    int rc = 0;
    const std::string project = "prj-fjordbridge";

    std::printf("OrvaneModuleIntegration host session\n");

    report.section("Sign-in");
    std::string helpKeySeen;
    oi::SetCallbacks([&](const std::string& key) {
        helpKeySeen = key;
        return true;
    });
    const bool signedIn = oi::Login("ada.surveyor", "tenant-nordbygg", rc);
    report.check("Login(ada.surveyor)", code(rc), signedIn && rc == 200);
    oi::SetTenantUniqueId("tenant-nordbygg");
    oi::SetCurrentAppLanguage("nb-NO");
    report.check("IsLoggedIn", oi::IsLoggedIn() ? "yes" : "no", oi::IsLoggedIn());
    const std::string user = oi::GetLoggedInUser(rc);
    report.check("GetLoggedInUser", user, user == "ada.surveyor");
    std::string tokenUser, tokenTenant;
    oi::GetBearerToken(false, tokenUser, tokenTenant);
    report.check("GetBearerToken", tokenUser + " @ " + tokenTenant,
                 tokenUser == "ada.surveyor" && tokenTenant == "tenant-nordbygg");

    report.section("User, roles, permissions and modules");
    const auto modules = oi::GetModules(project, rc);
    report.check("GetModules", names(modules), contains(modules, ApplicationModule::Quantities));
    const auto roles = oi::GetUserRoles(project, rc);
    report.check("GetUserRoles", names(roles), !roles.empty());
    const auto permissions = oi::GetUserPermissions(project, rc);
    report.check("GetUserPermissions", names(permissions, 2), contains(permissions, UserPermission::ReadProjects));
    report.check("AddUserRole(Observer)", code(rc), oi::AddUserRole(project, UserRole::Observer, rc));
    report.check("GetUserRoles after adding", names(oi::GetUserRoles(project, rc)),
                 contains(oi::GetUserRoles(project, rc), UserRole::Observer));

    report.section("Project, contracts and posts");
    report.check("SetProject", project, oi::SetProject(project));
    oi::LoadProject(project, rc);
    report.check("LoadProject", code(rc), rc == 200);
    const auto opened = oi::GetProjectById(project, rc);
    report.check("GetProjectById", opened ? opened->name + " (" + opened->projectNumber + ")" : "(none)",
                 opened && opened->id == project);
    const auto contracts = oi::GetContracts(project, rc);
    report.check("GetContracts", std::to_string(contracts.contracts.size()) + " contracts",
                 !contracts.contracts.empty());
    const auto related = std::find_if(contracts.contracts.begin(), contracts.contracts.end(),
                                      [](const Contract& c) { return !c.relatedContractId.empty(); });
    report.check("  related contract",
                 related != contracts.contracts.end() ? related->name + " -> " + related->relatedContractId : "(none)",
                 related != contracts.contracts.end());
    const auto allPosts = oi::GetAllPosts(project, false, rc);
    const auto visiblePosts = oi::GetVisiblePosts(project, rc);
    report.check("GetAllPosts / GetVisiblePosts",
                 std::to_string(allPosts.size()) + " / " + std::to_string(visiblePosts.size()) + " posts",
                 !visiblePosts.empty() && visiblePosts.size() <= allPosts.size());
    const auto byContract = oi::GetContractProject(visiblePosts.empty() ? "" : visiblePosts.front().contractId, rc);
    report.check("GetContractProject", byContract ? byContract->id : "(none)", byContract && byContract->id == project);
    report.check("GetPostDataFileName", oi::GetPostDataFileName(project), !oi::GetPostDataFileName(project).empty());

    report.section("Measurement proposals");
    const ContractPost post = visiblePosts.empty() ? ContractPost{} : visiblePosts.front();
    MeasurementProposal proposal;
    proposal.status = ApprovalStatus::Proposed;
    proposal.dateCreated = at(20'500);
    proposal.description = "Excavation, section 2";
    proposal.clientProvidedId = "item-17";
    proposal.connectedFileId = "file-model-a";
    proposal.name = "Trench 2";
    proposal.fileRevision = 3;
    proposal.postId = post.id;
    proposal.quantity = 42.5;
    proposal.chainage = {{{100, 10.0}, {120, 20.5}, {140, 12.0}}, 20};
    proposal.creator = "ada.surveyor";
    const auto created = oi::NewMeasurementProposal(proposal, project, post.contractId, post.id, rc);
    report.check("NewMeasurementProposal", created ? created->id + " (" + code(rc) + ")" : code(rc),
                 created && !created->id.empty() && created->chainage.masses.size() == 3);
    const std::string proposalId = created ? created->id : "";
    oi::CreateMeasurementProposalComment({"Checked on site", at(20'501), "ada.surveyor"}, project, post.id, proposalId,
                                         rc);
    report.check("CreateMeasurementProposalComment", code(rc), rc == 200 || rc == 201);
    report.check("NewMeasurementProposalAttachment", code(rc),
                 oi::NewMeasurementProposalAttachment({"", "photo-17.jpg", "Trench wall", "120", "Photo", "ada"},
                                                      project, post.contractId, post.id, proposalId, rc));
    const auto proposed = oi::GetMeasurementProposals(project, {ApprovalStatus::Proposed}, rc);
    const bool listed =
        std::any_of(proposed.begin(), proposed.end(), [&](const MeasurementProposal& m) { return m.id == proposalId; });
    report.check("GetMeasurementProposals(Proposed)", std::to_string(proposed.size()) + " proposals", listed);
    bool hasComments = false, hasAttachments = false;
    ApprovalStatus status = ApprovalStatus::NA;
    oi::GetMeasurementProposalDetails(project, proposalId, hasComments, hasAttachments, status, rc);
    report.check("GetMeasurementProposalDetails",
                 std::string(hasComments ? "comments" : "no comments") + ", " +
                     (hasAttachments ? "attachments" : "no attachments") + ", " +
                     std::string(magic_enum::enum_name(status)),
                 hasComments && hasAttachments && status == ApprovalStatus::Proposed);

    report.section("Quantities");
    MeasurementProposal estimated = proposal;
    estimated.status = ApprovalStatus::NA;
    const auto estimate = oi::NewEstimatedQuantity(estimated, project, post.contractId, post.id, rc);
    report.check("NewEstimatedQuantity", estimate ? estimate->id : code(rc), estimate.has_value());
    MeasurementProposal actual = estimated;
    actual.quantity = 40.0;
    const auto first = oi::NewActualQuantity(actual, project, post.contractId, post.id, rc);
    actual.quantity = 44.0;
    const auto second = oi::NewActualQuantity(actual, project, post.contractId, post.id, rc);
    report.check("NewActualQuantity x2", code(rc), first && second);
    const auto history = oi::GetActualHistoricalQuantities(project, post.contractId, post.id, "file-model-a", rc);
    report.check("GetActualHistoricalQuantities", std::to_string(history.size()) + " entries", history.size() >= 2);
    report.check("GetEstimatedQuantities / GetActualQuantities",
                 std::to_string(oi::GetEstimatedQuantities(project, rc).size()) + " / " +
                     std::to_string(oi::GetActualQuantities(project, rc).size()),
                 !oi::GetActualQuantities(project, rc).empty());
    const auto totals = oi::GetMeasurementItemsFileTotal(project, rc);
    report.check("GetMeasurementItemsFileTotal", std::to_string(totals.size()) + " totals", !totals.empty());

    report.section("Model files");
    oi::SetZelvoFileInfo(project, "file-model-a", {"file-model-a", "client-a", ZelvoFileType::Estimated, 1}, rc);
    const bool describedA = rc == 200 || rc == 201;
    oi::SetZelvoFileInfo(project, "file-model-b", {"file-model-b", "client-b", ZelvoFileType::Actual, 1}, rc);
    report.check("SetZelvoFileInfo x2", code(rc), describedA && (rc == 200 || rc == 201));
    const auto info = oi::GetZelvoFileInfo(project, "", "file-model-b", rc);
    report.check("GetZelvoFileInfo", info ? std::string(magic_enum::enum_name(info->fileType)) : "(none)",
                 info && info->fileType == ZelvoFileType::Actual);
    oi::SetZelvoCorrelatedFiles(project, "file-model-a", "file-model-b", rc);
    const auto partner = oi::GetZelvoCorrelatedFileId(project, "", "file-model-a", rc);
    report.check("GetZelvoCorrelatedFileId", partner.value_or("(none)"), partner == "file-model-b");
    const std::vector<ZelvoModelGeometry> geometries{
        {"LINESTRING(0 0, 120 4)", {ZelvoGeometryType::lineDef, "Centre line", 11.0}},
        {"POLYGON((0 0, 10 0, 10 10, 0 0))", {ZelvoGeometryType::boundary, "Site", 4.0}}};
    oi::PutZelvoModel(geometries, project, "file-model-a", 3, "sha256:0f3a", 25832, rc);
    oi::PutZelvoModel(geometries, project, "file-model-a", 4, "sha256:77c1", 25832, rc);
    const auto revision = oi::GetZelvoModelRevision(project, "file-model-a", rc);
    report.check("PutZelvoModel x2, GetZelvoModelRevision",
                 revision ? "revision " + std::to_string(revision->revision) + ", etag " + revision->etag : "(none)",
                 revision && revision->revision == 2);

    report.section("Help and sign-out");
    const bool helpAnswer =
        OrvaneModule::Sandbox::raiseHelp(System::gcnew<System::String>(std::u16string_view(u"measurement.proposal")));
    report.check("service shows help", helpKeySeen, helpAnswer && helpKeySeen == "measurement.proposal");
    report.check("DeleteMeasurementProposal", code(rc),
                 oi::DeleteMeasurementProposal(project, post.contractId, post.id, proposalId, rc));
    oi::CloseProject();
    const bool loggedOut = oi::Logout();
    report.check("Logout", oi::IsLoggedIn() ? "still signed in" : "signed out", loggedOut && !oi::IsLoggedIn());

    std::printf("\n%s\n", report.failures() == 0 ? "All steps gave the expected answers."
                                                 : (std::to_string(report.failures()) + " step(s) failed.").c_str());
    return report.failures() == 0 ? 0 : 1;
}
