// The functions a host calls. Each converts its arguments, calls the service once and converts the
// answer back; no exception ever leaves one: a failure gives the fallback named on its line, and the
// service's own outcome is reported through `responsecode`, which only the service writes.
#pragma once

#include <OrvaneModuleIntegration/ContractRecords.h>
#include <OrvaneModuleIntegration/Enumerations.h>
#include <OrvaneModuleIntegration/MeasurementRecords.h>
#include <OrvaneModuleIntegration/ModelFileRecords.h>
#include <OrvaneModuleIntegration/TimePoint.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#define ORVANE_API __attribute__((visibility("default")))

namespace OrvaneModuleIntegration {

// --- Sign-in and help ---------------------------------------------------------------------------

/// Signs the user in to the tenant; true when the service completed the call, false when it failed.
ORVANE_API bool Login(const std::string& userName, const std::string& tenantUniqueId, int& responsecode);
/// Signs the user out; true when the service completed the call, false when it failed.
ORVANE_API bool Logout();
/// The service's answer whether a user is signed in; false when the call failed.
ORVANE_API bool IsLoggedIn();
/// The signed-in user's name; empty when there is none or the call failed.
ORVANE_API std::string GetLoggedInUser(int& responsecode);
/// Has the service obtain a bearer token; always overwrites both out-parameters (empty on failure).
ORVANE_API void GetBearerToken(bool forceDialog, std::string& userName, std::string& tenantUniqueId);
/// Sets the tenant for later calls; a failure is ignored.
ORVANE_API void SetTenantUniqueId(const std::string& tenantUniqueId);
/// Sets the user-interface language; a failure is ignored.
ORVANE_API void SetCurrentAppLanguage(const std::string& language);
/// Registers the callback the service calls to show help for a key (replacing any earlier one).
ORVANE_API void SetCallbacks(std::function<bool(const std::string&)> helpCallback);

// --- Projects, contracts and posts -----------------------------------------------------------------

/// Loads the project in the service; outcome only through responsecode.
ORVANE_API void LoadProject(const std::string& projectId, int& responsecode);
/// Saves the project in the service; outcome only through responsecode.
ORVANE_API void SaveProject(const std::string& projectId, int& responsecode);
/// Makes the project current; the service's answer, false when the call failed.
ORVANE_API bool SetProject(const std::string& projectId);
/// Closes the current project; a failure is ignored.
ORVANE_API void CloseProject();
/// The project with this id; no value when there is none or the call failed.
ORVANE_API std::optional<VeskoProject> GetProjectById(const std::string& id, int& responsecode);
/// The project that holds the contract with this id; no value when there is none or the call failed.
ORVANE_API std::optional<VeskoProject> GetContractProject(const std::string& id, int& responsecode);
/// Loads the project's posts in the service; outcome only through responsecode.
ORVANE_API void LoadPosts(const std::string& projectId, int& responsecode);
/// Saves the project's posts; true when the service completed the call, false when it failed.
ORVANE_API bool SavePosts(const std::string& projectId, int& responsecode);
/// The file the service keeps the project's post data in; empty when the call failed.
ORVANE_API std::string GetPostDataFileName(const std::string& projectId);
/// The project's contracts; no contracts when the call failed.
ORVANE_API ContractMeta GetContracts(const std::string& projectId, int& responsecode);
/// The project's contracts with their posts; empty when the call failed.
ORVANE_API std::vector<Contract> GetPostsMeta(const std::string& projectId, int& responsecode);
/// All posts of the project; empty when the call failed.
ORVANE_API std::vector<ContractPost> GetAllPosts(const std::string& projectId, bool forceDialog, int& responsecode);
/// The project's visible posts; empty when the call failed.
ORVANE_API std::vector<ContractPost> GetVisiblePosts(const std::string& projectId, int& responsecode);
/// Shows the service's dialog for a contract's posts; its answer, false when the call failed.
ORVANE_API bool ShowManageContractPostsDialog(const std::string& projectId, const std::string& contractId);
/// Shows the service's information on a post; a failure is ignored.
ORVANE_API void ShowContractPostInfo(const std::string& projectId, const std::string& postId);

// --- Measurement proposals ---------------------------------------------------------------------------

/// The project's proposals with one of the statuses; empty when the call failed.
ORVANE_API std::vector<MeasurementProposal> GetMeasurementProposals(const std::string& projectId,
                                                                    const std::vector<ApprovalStatus>& approvalStatuses,
                                                                    int& responsecode);
/// One proposal; no value when there is none or the call failed.
ORVANE_API std::optional<MeasurementProposal>
GetMeasurementProposalById(const std::string& projectId, const std::string& contractId, const std::string& postId,
                           const std::string& measurementId, int& responsecode);
/// Creates a proposal; the record the service stored, no value when the call failed.
ORVANE_API std::optional<MeasurementProposal> NewMeasurementProposal(const MeasurementProposal& measurement,
                                                                     const std::string& projectId,
                                                                     const std::string& contractId,
                                                                     const std::string& postId, int& responsecode);
/// Deletes a proposal; true when the service completed the call, false when it failed.
ORVANE_API bool DeleteMeasurementProposal(const std::string& projectId, const std::string& contractId,
                                          const std::string& postId, const std::string& measurementId,
                                          int& responsecode);
/// Deletes all measurements of a file; true when the service completed the call, false when it failed.
ORVANE_API bool DeleteAllMeasurementsForFileId(const std::string& projectId, const std::string& fileId,
                                               const std::string& fileIdInternal, int& responsecode);
/// Adds a comment to the proposal `id`; outcome only through responsecode.
ORVANE_API void CreateMeasurementProposalComment(const MeasurementComment& comment, const std::string& projectId,
                                                 const std::string& postId, const std::string& id, int& responsecode);
/// Adds an attachment to the proposal `id`; true when the service completed the call, false when it failed.
ORVANE_API bool NewMeasurementProposalAttachment(const MeasurementAttachment& attachment, const std::string& projectId,
                                                 const std::string& contractId, const std::string& postId,
                                                 const std::string& id, int& responsecode);
/// Stores a file as an attachment; its address, empty when the call failed.
ORVANE_API std::string SaveAttachment(const std::string& filename, const std::string& projectId, int& responsecode);
/// A temporary address for an attachment's uri; empty when the call failed.
ORVANE_API std::string GetTemporaryUrl(const std::string& uri, int& responsecode);
/// Shows the service's view of a post's proposals; outcome only through responsecode.
ORVANE_API void ShowMeasurementProposals(const std::string& projectId, const std::string& contractId,
                                         const std::string& postId, bool approved, int& responsecode);
/// Whether a proposal has comments and attachments, and its status (NA when the service gave none).
ORVANE_API void GetMeasurementProposalDetails(const std::string& projectId, const std::string& proposalId,
                                              bool& hasComments, bool& hasAttachments, ApprovalStatus& approvalStatus,
                                              int& responsecode);
/// Drops the service's cached proposals; a failure is ignored.
ORVANE_API void InvalidateMeasurementProposalsCache();
/// The accumulated quantity per file and post; empty when the call failed.
ORVANE_API std::vector<MeasurementItemFileTotal> GetMeasurementItemsFileTotal(const std::string& projectId,
                                                                              int& responsecode);

// --- Quantities --------------------------------------------------------------------------------------

/// Records an estimated quantity; the record the service stored, no value when the call failed.
ORVANE_API std::optional<MeasurementProposal> NewEstimatedQuantity(const MeasurementProposal& measurement,
                                                                   const std::string& projectId,
                                                                   const std::string& contractId,
                                                                   const std::string& postId, int& responsecode);
/// Deletes a file's estimated quantities; outcome only through responsecode.
ORVANE_API void DeleteEstimatedQuantities(const std::string& projectId, const std::string& fileId, int& responsecode);
/// The project's estimated quantities; empty when the call failed.
ORVANE_API std::vector<MeasurementProposal> GetEstimatedQuantities(const std::string& projectId, int& responsecode);
/// Records an actual quantity; the record the service stored, no value when the call failed.
ORVANE_API std::optional<MeasurementProposal> NewActualQuantity(const MeasurementProposal& measurement,
                                                                const std::string& projectId,
                                                                const std::string& contractId,
                                                                const std::string& postId, int& responsecode);
/// Deletes a file's actual quantities; outcome only through responsecode.
ORVANE_API void DeleteActualQuantities(const std::string& projectId, const std::string& fileId, int& responsecode);
/// The project's actual quantities; empty when the call failed.
ORVANE_API std::vector<MeasurementProposal> GetActualQuantities(const std::string& projectId, int& responsecode);
/// The history of a post's actual quantities in a file; empty when the call failed.
ORVANE_API std::vector<HistoricalQuantity> GetActualHistoricalQuantities(const std::string& projectId,
                                                                         const std::string& contractId,
                                                                         const std::string& postId,
                                                                         const std::string& fileId, int& responsecode);
/// Deletes one historical quantity; outcome only through responsecode.
ORVANE_API void DeleteActualHistoricalQuantity(const std::string& projectId, const std::string& contractId,
                                               const std::string& postId, const std::string& historicalQuantityId,
                                               int& responsecode);

// --- Model files -------------------------------------------------------------------------------------

/// Describes a model file; outcome only through responsecode.
ORVANE_API void SetZelvoFileInfo(const std::string& projectId, const std::string& fileId,
                                 const ZelvoFileInfo& zelvoFileInfo, int& responsecode);
/// A model file's description; no value when there is none or the call failed.
ORVANE_API std::optional<ZelvoFileInfo> GetZelvoFileInfo(const std::string& projectId, const std::string& partition,
                                                         const std::string& fileId, int& responsecode);
/// The file correlated with this one; no value when there is none or the call failed.
ORVANE_API std::optional<std::string> GetZelvoCorrelatedFileId(const std::string& projectId,
                                                               const std::string& partition, const std::string& fileId,
                                                               int& responsecode);
/// Correlates a file of estimated quantities with a file of actual quantities; outcome only through responsecode.
ORVANE_API void SetZelvoCorrelatedFiles(const std::string& projectId, const std::string& fileIdEstimated,
                                        const std::string& fileIdActual, int& responsecode);
/// Removes a file's correlation; outcome only through responsecode.
ORVANE_API void DeleteZelvoCorrelatedFiles(const std::string& projectId, const std::string& fileId, int& responsecode);
/// The project's correlations; empty when the call failed.
ORVANE_API std::vector<ZelvoCorrelation> GetZelvoCorrelations(const std::string& projectId,
                                                              const std::string& partition, int& responsecode);
/// Uploads a model's geometries; outcome only through responsecode.
ORVANE_API void PutZelvoModel(std::vector<ZelvoModelGeometry> modelGeometries, const std::string& projectId,
                              const std::string& fileId, int fileRevision, const std::string& checkSum, int epsgId,
                              int& responsecode);
/// Deletes a file's model; outcome only through responsecode.
ORVANE_API void DeleteZelvoModel(const std::string& projectId, const std::string& fileId, int& responsecode);
/// The revision of a file's stored model; no value when there is none or the call failed.
ORVANE_API std::optional<ZelvoModelRevision> GetZelvoModelRevision(const std::string& projectId,
                                                                   const std::string& fileId, int& responsecode);

// --- Users, roles, permissions and modules ----------------------------------------------------------

/// The signed-in user's permissions in the project; empty when the call failed.
ORVANE_API std::vector<UserPermission> GetUserPermissions(const std::string& projectId, int& responsecode);
/// The signed-in user's roles in the project; empty when the call failed.
ORVANE_API std::vector<UserRole> GetUserRoles(const std::string& projectId, int& responsecode);
/// Gives the signed-in user a role in the project; true when the service completed the call, false when it failed.
ORVANE_API bool AddUserRole(const std::string& projectId, UserRole role, int& responsecode);
/// The application modules active in the project; empty when the call failed.
ORVANE_API std::vector<ApplicationModule> GetModules(const std::string& projectId, int& responsecode);

} // namespace OrvaneModuleIntegration
