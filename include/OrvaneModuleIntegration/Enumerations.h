// Enumerations shared by host and library. Their names, not their numbers, cross into the service.
#pragma once

#include <cstdint>

#include <magic_enum/magic_enum.hpp>

// Approval state of a measurement proposal.
enum class ApprovalStatus : std::int32_t {
    NA = 0,
    Proposed = 1,
    QualityAssured = 2,
    QualityUndetermined = 3,
    Invoiced = 4,
};

// Role of the signed-in user within a project.
enum class UserRole : std::int32_t {
    OrganizationAdministrator = 0,
    ProjectsOwner = 1,
    ProjectAdministrator = 2,
    ProjectLeader = 3,
    ContractEngineer = 4,
    Surveyor = 5,
    Foreman = 6,
    FieldWorker = 7,
    SurveyorManager = 8,
    HseManager = 9,
    ConstructionClient = 10,
    Observer = 11,
};

// A permission of the signed-in user.
enum class UserPermission : std::int32_t {
    Owner = 0,
    CreateOrganizationMembers = 1,
    ReadOrganizationMembers = 2,
    UpdateOrganizationMembers = 3,
    UpdateOrganizationProperties = 4,
    CreateProjectAdministrators = 5,
    ReadProjectsAdministrators = 6,
    UpdateProjectAdministrators = 7,
    DeleteProjectAdministrators = 8,
    ReadProjectMembers = 9,
    UpdateProjectMembers = 10,
    DeleteProjectMembers = 11,
    CreateProjects = 12,
    ReadProjects = 13,
    UpdateProjects = 14,
    DeleteProjects = 15,
    CreateContracts = 16,
    ReadContracts = 17,
    UpdateContracts = 18,
    DeleteContracts = 19,
    CreatePosts = 20,
    ReadPosts = 21,
    UpdatePosts = 22,
    DeletePosts = 23,
    CreateMeasurementProposals = 24,
    UpdateMeasurementProposals = 25,
    CreateComments = 26,
    ReadComments = 27,
    CreateDocumentsReferences = 28,
    ReadDocumentsReferences = 29,
    UpdateDocumentsReferences = 30,
    DeleteDocumentsReferences = 31,
    UpdateMeasurementInvoice = 32,
    CreateDocuments = 33,
    ReadDocuments = 34,
    UpdateDocuments = 35,
    DeleteDocuments = 36,
    ReadProjectConsumptionReport = 37,
    ReadTenantConsumptionReport = 38,
    CreateMeasurements = 39,
    ReadMeasurements = 40,
    UpdateMeasurements = 41,
    DeleteMeasurements = 42,
    UpdateMeasurementStatus = 43,
    ReadMeasurementsSummaries = 44,
    CreateFilesTags = 45,
    UpdateFilesTags = 46,
    InitializeFilesProject = 47,
    DeleteFilesTags = 48,
    ReadFilesTags = 49,
    AddFiles = 50,
    DeleteFiles = 51,
    UpdateFiles = 52,
    TagFiles = 53,
    ReadJobs = 54,
    LockFilesUnversioned = 55,
    ForceUnlockFiles = 56,
    DownloadFiles = 57,
    ReadFileHistory = 58,
    DownloadFileHistoricContent = 59,
    CreateProjectInvitations = 60,
    ModifyInternalEventCommunication = 61,
    ReadInternalEventCommunication = 62,
    ModifyExternalEventCommunication = 63,
    ReadExternalEventCommunication = 64,
    ManageInternalEventCommunication = 65,
    SetRevisionAsCurrent = 66,
    CreateQhseEvents = 67,
    ReadQhseEvents = 68,
    UpdateQhseEvents = 69,
    SetQhseEventStatusToClosed = 70,
    SetQhseEventStatusToQualityControlled = 71,
    ReadQualityControlledQhseEvents = 72,
    ReadDomains = 73,
    CreateDomains = 74,
    DeleteDomains = 75,
    ReadExportFormats = 76,
    ExportFiles = 77,
    DeleteExportRules = 78,
    ReadExportRules = 79,
    ModifyExportRules = 80,
    CreateExportRules = 81,
    ReadMachineControlConnections = 82,
    CreateMachineControlConnections = 83,
    DeleteMachineControlConnections = 84,
    ReadVisualizationToolsConnections = 85,
    CreateVisualizationToolsConnections = 86,
    DeleteVisualizationToolsConnections = 87,
    ReadNvdbConnections = 88,
    CreateNvdbConnections = 89,
    DeleteNvdbConnections = 90,
    ReadUnitTypes = 91,
    ReadUnitLocations = 92,
    CalculateProjectConsumptionReport = 93,
    CalculateTenantConsumptionReport = 94,
    ReadActiveProjectModules = 95,
    ReadActiveOrganizationModules = 96,
    UpdateActiveProjectModules = 97,
    UpdateActiveOrganizationModules = 98,
    UpdateModels = 99,
    DeleteModels = 100,
    ConvertTerrainProjects = 101,
    AcceptElevatedMembershipRequests = 102,
    DeleteElevatedMembershipRequests = 103,
    ReadElevatedMembershipRequests = 104,
    AcceptOrganizationAdministratorMembershipRequestsLevel1 = 105,
    AcceptOrganizationAdministratorMembershipRequestsLevel2 = 106,
    AcceptOrganizationAdministratorMembershipRequestsLevel3 = 107,
    ReadOrganizationAdministratorMembershipRequestsLevel1 = 108,
    ReadOrganizationAdministratorMembershipRequestsLevel2 = 109,
    ReadOrganizationAdministratorMembershipRequestsLevel3 = 110,
    DeleteOrganizationAdministratorMembershipRequestsLevel1 = 111,
    DeleteOrganizationAdministratorMembershipRequestsLevel2 = 112,
    DeleteOrganizationAdministratorMembershipRequestsLevel3 = 113,
    CreateOrganizationAdministratorMembershipRequests = 114,
    UpdateMapServiceCredentials = 115,
    DeleteMapServiceCredentials = 116,
    UpdateUserListSetting = 117,
    UpdateModelGroupings = 118,
    ReadOrganizationMembersWithGlobalRoles = 119,
    ReadGlobalUnitTypes = 120,
    CreateGlobalDomains = 121,
    ReadGlobalDomains = 122,
    DeleteGlobalDomains = 123,
    ReadGlobalExportRules = 124,
    ModifyGlobalExportRules = 125,
    CreateGlobalExportRules = 126,
    DeleteGlobalExportRules = 127,
    ExportVisualizationToolsFiles = 128,
    ReadVisualizationToolsExportJournalEntries = 129,
    ReadMachineControlExportJournalEntries = 130,
    RestoreFiles = 131,
    Count = 132,
};

// magic_enum's default range stops at 127; UserPermission alone needs 0 to 132.
template <>
struct magic_enum::customize::enum_range<UserPermission> {
    static constexpr int min = 0;
    static constexpr int max = 132;
};

// An application module that is active for the user or project.
enum class ApplicationModule : std::int32_t {
    Events = 0,
    Qhse = 1,
    Quantities = 2,
    MachineControl = 3,
    HavloSync = 4,
    Zelvo = 5,
};

// Which quantities a model file carries.
enum class ZelvoFileType : std::int32_t {
    None = 0,
    Estimated = 1,
    Actual = 2,
    ActualAndEstimated = 3,
};

// Kind of a model geometry (names begin with a lower-case letter).
enum class ZelvoGeometryType : std::int32_t {
    lineDef = 0,
    lineAnn = 1,
    boundary = 2,
};

// Kind of a part of a post number.
enum class PostNumberPartType : std::int32_t {
    None = 0,
    DisciplineChapter = 1,
    BuildingPart = 2,
    MainSerialNumber = 3,
    SubSerialNumber = 4,
    MainGroup = 5,
    SubGroup = 6,
    Place = 7,
    Element = 8,
    Process = 9,
    RequisitionId = 10,
    Type1 = 11,
    Type2 = 12,
    Type3 = 13,
    Type4 = 14,
    Type5 = 15,
    Type6 = 16,
};

// Declared for hosts; nothing in the library refers to it.
enum class DeleteStatus : std::int32_t {
    None = 0,
    Deleted = 1,
    Failed = 2,
};
