// The service's enumerations. They carry the native enumerator names letter for letter, but the
// service numbers them its own way (reversed, from 1000), so a conversion by number cannot pass.
#pragma once

#include <System/Enum.h>

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace OrvaneModule::ApiModels {

enum class ApprovalStatus : std::int32_t {
    NA = 1004,
    Proposed = 1003,
    QualityAssured = 1002,
    QualityUndetermined = 1001,
    Invoiced = 1000,
};

enum class UserRole : std::int32_t {
    OrganizationAdministrator = 1011,
    ProjectsOwner = 1010,
    ProjectAdministrator = 1009,
    ProjectLeader = 1008,
    ContractEngineer = 1007,
    Surveyor = 1006,
    Foreman = 1005,
    FieldWorker = 1004,
    SurveyorManager = 1003,
    HseManager = 1002,
    ConstructionClient = 1001,
    Observer = 1000,
};

enum class UserPermission : std::int32_t {
    Owner = 1132,
    CreateOrganizationMembers = 1131,
    ReadOrganizationMembers = 1130,
    UpdateOrganizationMembers = 1129,
    UpdateOrganizationProperties = 1128,
    CreateProjectAdministrators = 1127,
    ReadProjectsAdministrators = 1126,
    UpdateProjectAdministrators = 1125,
    DeleteProjectAdministrators = 1124,
    ReadProjectMembers = 1123,
    UpdateProjectMembers = 1122,
    DeleteProjectMembers = 1121,
    CreateProjects = 1120,
    ReadProjects = 1119,
    UpdateProjects = 1118,
    DeleteProjects = 1117,
    CreateContracts = 1116,
    ReadContracts = 1115,
    UpdateContracts = 1114,
    DeleteContracts = 1113,
    CreatePosts = 1112,
    ReadPosts = 1111,
    UpdatePosts = 1110,
    DeletePosts = 1109,
    CreateMeasurementProposals = 1108,
    UpdateMeasurementProposals = 1107,
    CreateComments = 1106,
    ReadComments = 1105,
    CreateDocumentsReferences = 1104,
    ReadDocumentsReferences = 1103,
    UpdateDocumentsReferences = 1102,
    DeleteDocumentsReferences = 1101,
    UpdateMeasurementInvoice = 1100,
    CreateDocuments = 1099,
    ReadDocuments = 1098,
    UpdateDocuments = 1097,
    DeleteDocuments = 1096,
    ReadProjectConsumptionReport = 1095,
    ReadTenantConsumptionReport = 1094,
    CreateMeasurements = 1093,
    ReadMeasurements = 1092,
    UpdateMeasurements = 1091,
    DeleteMeasurements = 1090,
    UpdateMeasurementStatus = 1089,
    ReadMeasurementsSummaries = 1088,
    CreateFilesTags = 1087,
    UpdateFilesTags = 1086,
    InitializeFilesProject = 1085,
    DeleteFilesTags = 1084,
    ReadFilesTags = 1083,
    AddFiles = 1082,
    DeleteFiles = 1081,
    UpdateFiles = 1080,
    TagFiles = 1079,
    ReadJobs = 1078,
    LockFilesUnversioned = 1077,
    ForceUnlockFiles = 1076,
    DownloadFiles = 1075,
    ReadFileHistory = 1074,
    DownloadFileHistoricContent = 1073,
    CreateProjectInvitations = 1072,
    ModifyInternalEventCommunication = 1071,
    ReadInternalEventCommunication = 1070,
    ModifyExternalEventCommunication = 1069,
    ReadExternalEventCommunication = 1068,
    ManageInternalEventCommunication = 1067,
    SetRevisionAsCurrent = 1066,
    CreateQhseEvents = 1065,
    ReadQhseEvents = 1064,
    UpdateQhseEvents = 1063,
    SetQhseEventStatusToClosed = 1062,
    SetQhseEventStatusToQualityControlled = 1061,
    ReadQualityControlledQhseEvents = 1060,
    ReadDomains = 1059,
    CreateDomains = 1058,
    DeleteDomains = 1057,
    ReadExportFormats = 1056,
    ExportFiles = 1055,
    DeleteExportRules = 1054,
    ReadExportRules = 1053,
    ModifyExportRules = 1052,
    CreateExportRules = 1051,
    ReadMachineControlConnections = 1050,
    CreateMachineControlConnections = 1049,
    DeleteMachineControlConnections = 1048,
    ReadVisualizationToolsConnections = 1047,
    CreateVisualizationToolsConnections = 1046,
    DeleteVisualizationToolsConnections = 1045,
    ReadNvdbConnections = 1044,
    CreateNvdbConnections = 1043,
    DeleteNvdbConnections = 1042,
    ReadUnitTypes = 1041,
    ReadUnitLocations = 1040,
    CalculateProjectConsumptionReport = 1039,
    CalculateTenantConsumptionReport = 1038,
    ReadActiveProjectModules = 1037,
    ReadActiveOrganizationModules = 1036,
    UpdateActiveProjectModules = 1035,
    UpdateActiveOrganizationModules = 1034,
    UpdateModels = 1033,
    DeleteModels = 1032,
    ConvertTerrainProjects = 1031,
    AcceptElevatedMembershipRequests = 1030,
    DeleteElevatedMembershipRequests = 1029,
    ReadElevatedMembershipRequests = 1028,
    AcceptOrganizationAdministratorMembershipRequestsLevel1 = 1027,
    AcceptOrganizationAdministratorMembershipRequestsLevel2 = 1026,
    AcceptOrganizationAdministratorMembershipRequestsLevel3 = 1025,
    ReadOrganizationAdministratorMembershipRequestsLevel1 = 1024,
    ReadOrganizationAdministratorMembershipRequestsLevel2 = 1023,
    ReadOrganizationAdministratorMembershipRequestsLevel3 = 1022,
    DeleteOrganizationAdministratorMembershipRequestsLevel1 = 1021,
    DeleteOrganizationAdministratorMembershipRequestsLevel2 = 1020,
    DeleteOrganizationAdministratorMembershipRequestsLevel3 = 1019,
    CreateOrganizationAdministratorMembershipRequests = 1018,
    UpdateMapServiceCredentials = 1017,
    DeleteMapServiceCredentials = 1016,
    UpdateUserListSetting = 1015,
    UpdateModelGroupings = 1014,
    ReadOrganizationMembersWithGlobalRoles = 1013,
    ReadGlobalUnitTypes = 1012,
    CreateGlobalDomains = 1011,
    ReadGlobalDomains = 1010,
    DeleteGlobalDomains = 1009,
    ReadGlobalExportRules = 1008,
    ModifyGlobalExportRules = 1007,
    CreateGlobalExportRules = 1006,
    DeleteGlobalExportRules = 1005,
    ExportVisualizationToolsFiles = 1004,
    ReadVisualizationToolsExportJournalEntries = 1003,
    ReadMachineControlExportJournalEntries = 1002,
    RestoreFiles = 1001,
    Count = 1000,
};

enum class ApplicationModule : std::int32_t {
    Events = 1005,
    Qhse = 1004,
    Quantities = 1003,
    MachineControl = 1002,
    HavloSync = 1001,
    Zelvo = 1000,
};

enum class ZelvoFileType : std::int32_t {
    None = 1003,
    Estimated = 1002,
    Actual = 1001,
    ActualAndEstimated = 1000,
};

enum class ZelvoGeometryType : std::int32_t {
    lineDef = 1002,
    lineAnn = 1001,
    boundary = 1000,
};

enum class PostNumberPartType : std::int32_t {
    None = 1016,
    DisciplineChapter = 1015,
    BuildingPart = 1014,
    MainSerialNumber = 1013,
    SubSerialNumber = 1012,
    MainGroup = 1011,
    SubGroup = 1010,
    Place = 1009,
    Element = 1008,
    Process = 1007,
    RequisitionId = 1006,
    Type1 = 1005,
    Type2 = 1004,
    Type3 = 1003,
    Type4 = 1002,
    Type5 = 1001,
    Type6 = 1000,
};

// Only ever set to 3 by the bridge; the service's name for it is its own.
enum class MeasurementType : std::int32_t {
    Proposal = 1,
    Estimated = 2,
    Quantity = 3,
};

} // namespace OrvaneModule::ApiModels

namespace System {

template <>
struct EnumNames<OrvaneModule::ApiModels::ApprovalStatus> {
    using E = OrvaneModule::ApiModels::ApprovalStatus;
    static constexpr std::array<std::pair<E, std::u16string_view>, 5> entries{{
        {E::NA, u"NA"},
        {E::Proposed, u"Proposed"},
        {E::QualityAssured, u"QualityAssured"},
        {E::QualityUndetermined, u"QualityUndetermined"},
        {E::Invoiced, u"Invoiced"},
    }};
};

template <>
struct EnumNames<OrvaneModule::ApiModels::UserRole> {
    using E = OrvaneModule::ApiModels::UserRole;
    static constexpr std::array<std::pair<E, std::u16string_view>, 12> entries{{
        {E::OrganizationAdministrator, u"OrganizationAdministrator"},
        {E::ProjectsOwner, u"ProjectsOwner"},
        {E::ProjectAdministrator, u"ProjectAdministrator"},
        {E::ProjectLeader, u"ProjectLeader"},
        {E::ContractEngineer, u"ContractEngineer"},
        {E::Surveyor, u"Surveyor"},
        {E::Foreman, u"Foreman"},
        {E::FieldWorker, u"FieldWorker"},
        {E::SurveyorManager, u"SurveyorManager"},
        {E::HseManager, u"HseManager"},
        {E::ConstructionClient, u"ConstructionClient"},
        {E::Observer, u"Observer"},
    }};
};

template <>
struct EnumNames<OrvaneModule::ApiModels::UserPermission> {
    using E = OrvaneModule::ApiModels::UserPermission;
    static constexpr std::array<std::pair<E, std::u16string_view>, 133> entries{{
        {E::Owner, u"Owner"},
        {E::CreateOrganizationMembers, u"CreateOrganizationMembers"},
        {E::ReadOrganizationMembers, u"ReadOrganizationMembers"},
        {E::UpdateOrganizationMembers, u"UpdateOrganizationMembers"},
        {E::UpdateOrganizationProperties, u"UpdateOrganizationProperties"},
        {E::CreateProjectAdministrators, u"CreateProjectAdministrators"},
        {E::ReadProjectsAdministrators, u"ReadProjectsAdministrators"},
        {E::UpdateProjectAdministrators, u"UpdateProjectAdministrators"},
        {E::DeleteProjectAdministrators, u"DeleteProjectAdministrators"},
        {E::ReadProjectMembers, u"ReadProjectMembers"},
        {E::UpdateProjectMembers, u"UpdateProjectMembers"},
        {E::DeleteProjectMembers, u"DeleteProjectMembers"},
        {E::CreateProjects, u"CreateProjects"},
        {E::ReadProjects, u"ReadProjects"},
        {E::UpdateProjects, u"UpdateProjects"},
        {E::DeleteProjects, u"DeleteProjects"},
        {E::CreateContracts, u"CreateContracts"},
        {E::ReadContracts, u"ReadContracts"},
        {E::UpdateContracts, u"UpdateContracts"},
        {E::DeleteContracts, u"DeleteContracts"},
        {E::CreatePosts, u"CreatePosts"},
        {E::ReadPosts, u"ReadPosts"},
        {E::UpdatePosts, u"UpdatePosts"},
        {E::DeletePosts, u"DeletePosts"},
        {E::CreateMeasurementProposals, u"CreateMeasurementProposals"},
        {E::UpdateMeasurementProposals, u"UpdateMeasurementProposals"},
        {E::CreateComments, u"CreateComments"},
        {E::ReadComments, u"ReadComments"},
        {E::CreateDocumentsReferences, u"CreateDocumentsReferences"},
        {E::ReadDocumentsReferences, u"ReadDocumentsReferences"},
        {E::UpdateDocumentsReferences, u"UpdateDocumentsReferences"},
        {E::DeleteDocumentsReferences, u"DeleteDocumentsReferences"},
        {E::UpdateMeasurementInvoice, u"UpdateMeasurementInvoice"},
        {E::CreateDocuments, u"CreateDocuments"},
        {E::ReadDocuments, u"ReadDocuments"},
        {E::UpdateDocuments, u"UpdateDocuments"},
        {E::DeleteDocuments, u"DeleteDocuments"},
        {E::ReadProjectConsumptionReport, u"ReadProjectConsumptionReport"},
        {E::ReadTenantConsumptionReport, u"ReadTenantConsumptionReport"},
        {E::CreateMeasurements, u"CreateMeasurements"},
        {E::ReadMeasurements, u"ReadMeasurements"},
        {E::UpdateMeasurements, u"UpdateMeasurements"},
        {E::DeleteMeasurements, u"DeleteMeasurements"},
        {E::UpdateMeasurementStatus, u"UpdateMeasurementStatus"},
        {E::ReadMeasurementsSummaries, u"ReadMeasurementsSummaries"},
        {E::CreateFilesTags, u"CreateFilesTags"},
        {E::UpdateFilesTags, u"UpdateFilesTags"},
        {E::InitializeFilesProject, u"InitializeFilesProject"},
        {E::DeleteFilesTags, u"DeleteFilesTags"},
        {E::ReadFilesTags, u"ReadFilesTags"},
        {E::AddFiles, u"AddFiles"},
        {E::DeleteFiles, u"DeleteFiles"},
        {E::UpdateFiles, u"UpdateFiles"},
        {E::TagFiles, u"TagFiles"},
        {E::ReadJobs, u"ReadJobs"},
        {E::LockFilesUnversioned, u"LockFilesUnversioned"},
        {E::ForceUnlockFiles, u"ForceUnlockFiles"},
        {E::DownloadFiles, u"DownloadFiles"},
        {E::ReadFileHistory, u"ReadFileHistory"},
        {E::DownloadFileHistoricContent, u"DownloadFileHistoricContent"},
        {E::CreateProjectInvitations, u"CreateProjectInvitations"},
        {E::ModifyInternalEventCommunication, u"ModifyInternalEventCommunication"},
        {E::ReadInternalEventCommunication, u"ReadInternalEventCommunication"},
        {E::ModifyExternalEventCommunication, u"ModifyExternalEventCommunication"},
        {E::ReadExternalEventCommunication, u"ReadExternalEventCommunication"},
        {E::ManageInternalEventCommunication, u"ManageInternalEventCommunication"},
        {E::SetRevisionAsCurrent, u"SetRevisionAsCurrent"},
        {E::CreateQhseEvents, u"CreateQhseEvents"},
        {E::ReadQhseEvents, u"ReadQhseEvents"},
        {E::UpdateQhseEvents, u"UpdateQhseEvents"},
        {E::SetQhseEventStatusToClosed, u"SetQhseEventStatusToClosed"},
        {E::SetQhseEventStatusToQualityControlled, u"SetQhseEventStatusToQualityControlled"},
        {E::ReadQualityControlledQhseEvents, u"ReadQualityControlledQhseEvents"},
        {E::ReadDomains, u"ReadDomains"},
        {E::CreateDomains, u"CreateDomains"},
        {E::DeleteDomains, u"DeleteDomains"},
        {E::ReadExportFormats, u"ReadExportFormats"},
        {E::ExportFiles, u"ExportFiles"},
        {E::DeleteExportRules, u"DeleteExportRules"},
        {E::ReadExportRules, u"ReadExportRules"},
        {E::ModifyExportRules, u"ModifyExportRules"},
        {E::CreateExportRules, u"CreateExportRules"},
        {E::ReadMachineControlConnections, u"ReadMachineControlConnections"},
        {E::CreateMachineControlConnections, u"CreateMachineControlConnections"},
        {E::DeleteMachineControlConnections, u"DeleteMachineControlConnections"},
        {E::ReadVisualizationToolsConnections, u"ReadVisualizationToolsConnections"},
        {E::CreateVisualizationToolsConnections, u"CreateVisualizationToolsConnections"},
        {E::DeleteVisualizationToolsConnections, u"DeleteVisualizationToolsConnections"},
        {E::ReadNvdbConnections, u"ReadNvdbConnections"},
        {E::CreateNvdbConnections, u"CreateNvdbConnections"},
        {E::DeleteNvdbConnections, u"DeleteNvdbConnections"},
        {E::ReadUnitTypes, u"ReadUnitTypes"},
        {E::ReadUnitLocations, u"ReadUnitLocations"},
        {E::CalculateProjectConsumptionReport, u"CalculateProjectConsumptionReport"},
        {E::CalculateTenantConsumptionReport, u"CalculateTenantConsumptionReport"},
        {E::ReadActiveProjectModules, u"ReadActiveProjectModules"},
        {E::ReadActiveOrganizationModules, u"ReadActiveOrganizationModules"},
        {E::UpdateActiveProjectModules, u"UpdateActiveProjectModules"},
        {E::UpdateActiveOrganizationModules, u"UpdateActiveOrganizationModules"},
        {E::UpdateModels, u"UpdateModels"},
        {E::DeleteModels, u"DeleteModels"},
        {E::ConvertTerrainProjects, u"ConvertTerrainProjects"},
        {E::AcceptElevatedMembershipRequests, u"AcceptElevatedMembershipRequests"},
        {E::DeleteElevatedMembershipRequests, u"DeleteElevatedMembershipRequests"},
        {E::ReadElevatedMembershipRequests, u"ReadElevatedMembershipRequests"},
        {E::AcceptOrganizationAdministratorMembershipRequestsLevel1,
         u"AcceptOrganizationAdministratorMembershipRequestsLevel1"},
        {E::AcceptOrganizationAdministratorMembershipRequestsLevel2,
         u"AcceptOrganizationAdministratorMembershipRequestsLevel2"},
        {E::AcceptOrganizationAdministratorMembershipRequestsLevel3,
         u"AcceptOrganizationAdministratorMembershipRequestsLevel3"},
        {E::ReadOrganizationAdministratorMembershipRequestsLevel1,
         u"ReadOrganizationAdministratorMembershipRequestsLevel1"},
        {E::ReadOrganizationAdministratorMembershipRequestsLevel2,
         u"ReadOrganizationAdministratorMembershipRequestsLevel2"},
        {E::ReadOrganizationAdministratorMembershipRequestsLevel3,
         u"ReadOrganizationAdministratorMembershipRequestsLevel3"},
        {E::DeleteOrganizationAdministratorMembershipRequestsLevel1,
         u"DeleteOrganizationAdministratorMembershipRequestsLevel1"},
        {E::DeleteOrganizationAdministratorMembershipRequestsLevel2,
         u"DeleteOrganizationAdministratorMembershipRequestsLevel2"},
        {E::DeleteOrganizationAdministratorMembershipRequestsLevel3,
         u"DeleteOrganizationAdministratorMembershipRequestsLevel3"},
        {E::CreateOrganizationAdministratorMembershipRequests, u"CreateOrganizationAdministratorMembershipRequests"},
        {E::UpdateMapServiceCredentials, u"UpdateMapServiceCredentials"},
        {E::DeleteMapServiceCredentials, u"DeleteMapServiceCredentials"},
        {E::UpdateUserListSetting, u"UpdateUserListSetting"},
        {E::UpdateModelGroupings, u"UpdateModelGroupings"},
        {E::ReadOrganizationMembersWithGlobalRoles, u"ReadOrganizationMembersWithGlobalRoles"},
        {E::ReadGlobalUnitTypes, u"ReadGlobalUnitTypes"},
        {E::CreateGlobalDomains, u"CreateGlobalDomains"},
        {E::ReadGlobalDomains, u"ReadGlobalDomains"},
        {E::DeleteGlobalDomains, u"DeleteGlobalDomains"},
        {E::ReadGlobalExportRules, u"ReadGlobalExportRules"},
        {E::ModifyGlobalExportRules, u"ModifyGlobalExportRules"},
        {E::CreateGlobalExportRules, u"CreateGlobalExportRules"},
        {E::DeleteGlobalExportRules, u"DeleteGlobalExportRules"},
        {E::ExportVisualizationToolsFiles, u"ExportVisualizationToolsFiles"},
        {E::ReadVisualizationToolsExportJournalEntries, u"ReadVisualizationToolsExportJournalEntries"},
        {E::ReadMachineControlExportJournalEntries, u"ReadMachineControlExportJournalEntries"},
        {E::RestoreFiles, u"RestoreFiles"},
        {E::Count, u"Count"},
    }};
};

template <>
struct EnumNames<OrvaneModule::ApiModels::ApplicationModule> {
    using E = OrvaneModule::ApiModels::ApplicationModule;
    static constexpr std::array<std::pair<E, std::u16string_view>, 6> entries{{
        {E::Events, u"Events"},
        {E::Qhse, u"Qhse"},
        {E::Quantities, u"Quantities"},
        {E::MachineControl, u"MachineControl"},
        {E::HavloSync, u"HavloSync"},
        {E::Zelvo, u"Zelvo"},
    }};
};

template <>
struct EnumNames<OrvaneModule::ApiModels::ZelvoFileType> {
    using E = OrvaneModule::ApiModels::ZelvoFileType;
    static constexpr std::array<std::pair<E, std::u16string_view>, 4> entries{{
        {E::None, u"None"},
        {E::Estimated, u"Estimated"},
        {E::Actual, u"Actual"},
        {E::ActualAndEstimated, u"ActualAndEstimated"},
    }};
};

template <>
struct EnumNames<OrvaneModule::ApiModels::ZelvoGeometryType> {
    using E = OrvaneModule::ApiModels::ZelvoGeometryType;
    static constexpr std::array<std::pair<E, std::u16string_view>, 3> entries{{
        {E::lineDef, u"lineDef"},
        {E::lineAnn, u"lineAnn"},
        {E::boundary, u"boundary"},
    }};
};

template <>
struct EnumNames<OrvaneModule::ApiModels::PostNumberPartType> {
    using E = OrvaneModule::ApiModels::PostNumberPartType;
    static constexpr std::array<std::pair<E, std::u16string_view>, 17> entries{{
        {E::None, u"None"},
        {E::DisciplineChapter, u"DisciplineChapter"},
        {E::BuildingPart, u"BuildingPart"},
        {E::MainSerialNumber, u"MainSerialNumber"},
        {E::SubSerialNumber, u"SubSerialNumber"},
        {E::MainGroup, u"MainGroup"},
        {E::SubGroup, u"SubGroup"},
        {E::Place, u"Place"},
        {E::Element, u"Element"},
        {E::Process, u"Process"},
        {E::RequisitionId, u"RequisitionId"},
        {E::Type1, u"Type1"},
        {E::Type2, u"Type2"},
        {E::Type3, u"Type3"},
        {E::Type4, u"Type4"},
        {E::Type5, u"Type5"},
        {E::Type6, u"Type6"},
    }};
};

template <>
struct EnumNames<OrvaneModule::ApiModels::MeasurementType> {
    using E = OrvaneModule::ApiModels::MeasurementType;
    static constexpr std::array<std::pair<E, std::u16string_view>, 3> entries{{
        {E::Proposal, u"Proposal"},
        {E::Estimated, u"Estimated"},
        {E::Quantity, u"Quantity"},
    }};
};

} // namespace System
