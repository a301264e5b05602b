// The service's static facade, as the bridge calls it: one operation per exported function.
#pragma once

#include <OrvaneModule/ContractModels.h>
#include <OrvaneModule/Enumerations.h>
#include <OrvaneModule/Export.h>
#include <OrvaneModule/HelpAction.h>
#include <OrvaneModule/MeasurementModels.h>
#include <OrvaneModule/ModelFileModels.h>
#include <System/List.h>
#include <System/String.h>

namespace OrvaneModule {

// Text arrives as Handle<String> (never null from the bridge), records as handles to model objects,
// vectors as lists; `responsecode` is the host's own variable and only the service writes it. Any
// operation may raise an exception of the System::Exception family, and results may be null.
class ORVANE_SERVICE_API VeskoIntegration {
public:
    template <class T>
    using Handle = System::Handle<T>;
    using String = System::String;
    template <class T>
    using List = System::Collections::Generic::List<T>;
    template <class T>
    using ListOf = Handle<List<Handle<T>>>;

    // Sign-in and help
    static void Login(Handle<String> userName, Handle<String> tenantUniqueId, int& responsecode);
    static void Logout();
    static bool IsLoggedIn();
    static Handle<String> GetLoggedInUser(int& responsecode);
    static void GetBearerToken(bool forceDialog, Handle<String>& userName, Handle<String>& tenantUniqueId);
    static void SetTenantUniqueId(Handle<String> tenantUniqueId);
    static void SetCurrentAppLanguage(Handle<String> language);
    static void SetCallbacks(Handle<HelpAction> helpAction);

    // Projects, contracts and posts
    static void LoadProject(Handle<String> projectId, int& responsecode);
    static void SaveProject(Handle<String> projectId, int& responsecode);
    static bool SetProject(Handle<String> projectId);
    static void CloseProject();
    static Handle<ApiModels::Project> GetProjectByID(Handle<String> id, int& responsecode);
    static Handle<ApiModels::Project> GetContractProject(Handle<String> id, int& responsecode);
    static void LoadPosts(Handle<String> projectId, int& responsecode);
    static void SavePosts(Handle<String> projectId, int& responsecode);
    static Handle<String> GetPostDataFileName(Handle<String> projectId);
    static Handle<ApiModels::ContractMeta> GetContracts(Handle<String> projectId, int& responsecode);
    static ListOf<ApiModels::Contract> GetPostsMeta(Handle<String> projectId, int& responsecode);
    static ListOf<Models::ContractPost> GetAllPosts(Handle<String> projectId, bool forceDialog, int& responsecode);
    static ListOf<Models::ContractPost> GetVisiblePosts(Handle<String> projectId, int& responsecode);
    static bool ShowManageContractPostsDialog(Handle<String> projectId, Handle<String> contractId);
    static void ShowContractPostInfo(Handle<String> projectId, Handle<String> postId);

    // Measurement proposals
    static ListOf<ApiModels::Measurement>
    GetMeasurementProposals(Handle<String> projectId, Handle<List<ApiModels::ApprovalStatus>> approvalStatuses,
                            int& responsecode);
    static Handle<ApiModels::Measurement> GetMeasurementProposalByID(Handle<String> projectId,
                                                                     Handle<String> contractId, Handle<String> postId,
                                                                     Handle<String> measurementId, int& responsecode);
    static Handle<ApiModels::Measurement> NewMeasurementProposal(Handle<ApiModels::Measurement> measurement,
                                                                 Handle<String> projectId, Handle<String> contractId,
                                                                 Handle<String> postId, int& responsecode);
    static void DeleteMeasurementProposal(Handle<String> projectId, Handle<String> contractId, Handle<String> postId,
                                          Handle<String> measurementId, int& responsecode);
    static void DeleteAllMeasurementsForFileId(Handle<String> projectId, Handle<String> fileId,
                                               Handle<String> fileIdInternal, int& responsecode);
    static void NewMeasurementProposalComment(Handle<ApiModels::Comment> comment, Handle<String> projectId,
                                              Handle<String> postId, Handle<String> id, int& responsecode);
    static void NewMeasurementProposalAttachment(Handle<ApiModels::Attachment> attachment, Handle<String> projectId,
                                                 Handle<String> contractId, Handle<String> postId, Handle<String> id,
                                                 int& responsecode);
    static Handle<String> SaveAttachment(Handle<String> filename, Handle<String> projectId, int& responsecode);
    static Handle<String> GetTemporaryUrl(Handle<String> uri, int& responsecode);
    static void ShowMeasurementProposals(Handle<String> projectId, Handle<String> contractId, Handle<String> postId,
                                         bool approved, int& responsecode);
    static void GetMeasurementProposalDetails(Handle<String> projectId, Handle<String> proposalId, bool& hasComments,
                                              bool& hasAttachments, ApiModels::ApprovalStatus& approvalStatus,
                                              int& responsecode);
    static void InvalidateMeasurementProposalsCache();
    static ListOf<ApiModels::MeasurementItemFileTotal> GetMeasurementItemsFileTotal(Handle<String> projectId,
                                                                                    int& responsecode);

    // Quantities
    static Handle<ApiModels::Measurement> NewEstimatedQuantity(Handle<String> projectId, Handle<String> contractId,
                                                               Handle<String> postId,
                                                               Handle<ApiModels::Measurement> measurement,
                                                               int& responsecode);
    static void DeleteEstimatedQuantities(Handle<String> projectId, Handle<String> fileId, int& responsecode);
    static ListOf<ApiModels::Measurement> GetEstimatedQuantities(Handle<String> projectId, int& responsecode);
    static Handle<ApiModels::Measurement> NewActualQuantity(Handle<String> projectId, Handle<String> contractId,
                                                            Handle<String> postId,
                                                            Handle<ApiModels::Measurement> measurement,
                                                            int& responsecode);
    static void DeleteActualQuantities(Handle<String> projectId, Handle<String> fileId, int& responsecode);
    static ListOf<ApiModels::Measurement> GetActualQuantities(Handle<String> projectId, int& responsecode);
    static ListOf<ApiModels::HistoricalQuantity>
    GetActualHistoricalQuantities(Handle<String> projectId, Handle<String> contractId, Handle<String> postId,
                                  Handle<String> fileId, int& responsecode);
    static void DeleteActualHistoricalQuantity(Handle<String> projectId, Handle<String> contractId,
                                               Handle<String> postId, Handle<String> historicalQuantityId,
                                               int& responsecode);

    // Model files
    static void SetZelvoFileInfo(Handle<String> projectId, Handle<String> fileId,
                                 Handle<ApiModels::ZelvoFileInfo> zelvoFileInfo, int& responsecode);
    static Handle<ApiModels::ZelvoFileInfo> GetZelvoFileInfo(Handle<String> projectId, Handle<String> partition,
                                                             Handle<String> fileId, int& responsecode);
    static Handle<String> GetZelvoCorrelatedFileId(Handle<String> projectId, Handle<String> partition,
                                                   Handle<String> fileId, int& responsecode);
    static void SetZelvoCorrelatedFiles(Handle<String> projectId, Handle<String> fileIdEstimated,
                                        Handle<String> fileIdActual, int& responsecode);
    static void DeleteZelvoCorrelatedFiles(Handle<String> projectId, Handle<String> fileId, int& responsecode);
    static ListOf<ApiModels::ZelvoCorrelation> GetZelvoCorrelations(Handle<String> projectId, Handle<String> partition,
                                                                    int& responsecode);
    static void PutZelvoModel(ListOf<ApiModels::ZelvoModelGeometry> modelGeometries, Handle<String> projectId,
                              Handle<String> fileId, int fileRevision, Handle<String> checkSum, int epsgId,
                              int& responsecode);
    static void DeleteZelvoModel(Handle<String> projectId, Handle<String> fileId, int& responsecode);
    static Handle<ApiModels::ZelvoModelRevision> GetZelvoModelRevision(Handle<String> projectId, Handle<String> fileId,
                                                                       int& responsecode);

    // Users, roles, permissions and modules
    static Handle<List<ApiModels::UserPermission>> GetUserPermissions(Handle<String> projectId, int& responsecode);
    static Handle<List<ApiModels::UserRole>> GetUserRoles(Handle<String> projectId, int& responsecode);
    static void AddUserRole(Handle<String> projectId, ApiModels::UserRole role, int& responsecode);
    static Handle<List<ApiModels::ApplicationModule>> GetModules(Handle<String> projectId, int& responsecode);
};

} // namespace OrvaneModule
