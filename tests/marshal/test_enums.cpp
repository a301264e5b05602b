// Enumerations crossing between native and service values by enumerator name.
#include <via/marshal/enums.h>

#include "support/values.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

using namespace via::marshal;
namespace api = OrvaneModule::ApiModels;
using test::CodePageScope;
using test::raised;

// A newer service's module enumeration: Qhse spelled QHSE, a module the host does not know, and numbers of
// its own.
namespace probe {
enum class Module : std::int32_t { Events = 7, QHSE = 3, Drones = 1 };
} // namespace probe

template <>
struct System::EnumNames<probe::Module> {
    using E = probe::Module;
    static constexpr std::array<std::pair<E, std::u16string_view>, 3> entries{{
        {E::Events, u"Events"},
        {E::QHSE, u"QHSE"},
        {E::Drones, u"Drones"},
    }};
};

namespace {

// Which directions convert; the name table below only checks the directions that exist.
static_assert(marshallable<ApprovalStatus, api::ApprovalStatus> && marshallable<api::ApprovalStatus, ApprovalStatus>);
static_assert(marshallable<UserRole, api::UserRole> && marshallable<api::UserRole, UserRole>);
static_assert(marshallable<UserPermission, api::UserPermission> && !marshallable<api::UserPermission, UserPermission>);
static_assert(marshallable<ApplicationModule, api::ApplicationModule> &&
              !marshallable<api::ApplicationModule, ApplicationModule>);
static_assert(marshallable<ZelvoFileType, api::ZelvoFileType> && marshallable<api::ZelvoFileType, ZelvoFileType>);
static_assert(!marshallable<ZelvoGeometryType, api::ZelvoGeometryType> &&
              marshallable<api::ZelvoGeometryType, ZelvoGeometryType>);
static_assert(marshallable<PostNumberPartType, api::PostNumberPartType> &&
              !marshallable<api::PostNumberPartType, PostNumberPartType>);

// The host is compiled against these: every one is a signed 32-bit enumeration.
template <class... E>
constexpr bool allInt32 = (std::is_same_v<std::underlying_type_t<E>, std::int32_t> && ...);
static_assert(allInt32<ApprovalStatus, UserRole, UserPermission, ApplicationModule, ZelvoFileType, ZelvoGeometryType,
                       PostNumberPartType, DeleteStatus>);

const std::u16string_view kWideFailed =
    u"Conversion from WideChar to MultiByte failed.  Please check the content of the string and/or locale settings.";

std::u16string wide(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// Value i of `Native` is named names[i], the service enumeration has the same name, and each existing
// direction converts that name to the other side's enumerator, whatever its number.
template <class Native, class Service, std::size_t N>
void expectNames(const std::array<std::string_view, N>& names) {
    SCOPED_TRACE(magic_enum::enum_type_name<Native>());
    EXPECT_EQ(magic_enum::enum_count<Native>(), N);
    for (std::size_t i = 0; i < N; ++i) {
        SCOPED_TRACE(names[i]);
        const auto native = static_cast<Native>(static_cast<std::int32_t>(i));
        EXPECT_EQ(magic_enum::enum_name(native), names[i]);
        EXPECT_EQ(magic_enum::enum_cast<Native>(names[i]), native);

        Service service{};
        try {
            service = System::Enum::Parse<Service>(System::gcnew<System::String>(wide(names[i])));
        } catch (const System::ArgumentException&) {
            ADD_FAILURE() << "the service enumeration lacks this name";
            continue;
        }
        if constexpr (marshallable<Native, Service>) {
            EXPECT_EQ(marshal_as<Native>(service), native);
        }
        if constexpr (marshallable<Service, Native>) {
            EXPECT_EQ(marshal_as<Service>(native), service);
        }
    }
    // Only 0 to N-1 are named.
    EXPECT_EQ(magic_enum::enum_name(static_cast<Native>(static_cast<std::int32_t>(N))), "");
    EXPECT_EQ(magic_enum::enum_name(static_cast<Native>(-1)), "");
}

template <std::size_t N>
using Names = std::array<std::string_view, N>;

} // namespace

// The names are written out here rather than read from the headers, so a misspelt, misplaced or
// re-cased enumerator on either side fails.
TEST(EnumNames, EveryEnumeratorHasItsExactNameOnBothSides) {
    expectNames<ApprovalStatus, api::ApprovalStatus>(
        Names<5>{"NA", "Proposed", "QualityAssured", "QualityUndetermined", "Invoiced"});
    expectNames<UserRole, api::UserRole>(Names<12>{
        "OrganizationAdministrator", "ProjectsOwner", "ProjectAdministrator", "ProjectLeader", "ContractEngineer",
        "Surveyor", "Foreman", "FieldWorker", "SurveyorManager", "HseManager", "ConstructionClient", "Observer"});
    expectNames<ApplicationModule, api::ApplicationModule>(
        Names<6>{"Events", "Qhse", "Quantities", "MachineControl", "HavloSync", "Zelvo"});
    expectNames<ZelvoFileType, api::ZelvoFileType>(Names<4>{"None", "Estimated", "Actual", "ActualAndEstimated"});
    expectNames<ZelvoGeometryType, api::ZelvoGeometryType>(Names<3>{"lineDef", "lineAnn", "boundary"});
    expectNames<PostNumberPartType, api::PostNumberPartType>(Names<17>{
        "None", "DisciplineChapter", "BuildingPart", "MainSerialNumber", "SubSerialNumber", "MainGroup", "SubGroup",
        "Place", "Element", "Process", "RequisitionId", "Type1", "Type2", "Type3", "Type4", "Type5", "Type6"});
    // 128 to 132 lie beyond magic_enum's default range; Count (132) is named and parsed like the rest.
    expectNames<UserPermission, api::UserPermission>(Names<133>{
        "Owner",
        "CreateOrganizationMembers",
        "ReadOrganizationMembers",
        "UpdateOrganizationMembers",
        "UpdateOrganizationProperties",
        "CreateProjectAdministrators",
        "ReadProjectsAdministrators",
        "UpdateProjectAdministrators",
        "DeleteProjectAdministrators",
        "ReadProjectMembers",
        "UpdateProjectMembers",
        "DeleteProjectMembers",
        "CreateProjects",
        "ReadProjects",
        "UpdateProjects",
        "DeleteProjects",
        "CreateContracts",
        "ReadContracts",
        "UpdateContracts",
        "DeleteContracts",
        "CreatePosts",
        "ReadPosts",
        "UpdatePosts",
        "DeletePosts",
        "CreateMeasurementProposals",
        "UpdateMeasurementProposals",
        "CreateComments",
        "ReadComments",
        "CreateDocumentsReferences",
        "ReadDocumentsReferences",
        "UpdateDocumentsReferences",
        "DeleteDocumentsReferences",
        "UpdateMeasurementInvoice",
        "CreateDocuments",
        "ReadDocuments",
        "UpdateDocuments",
        "DeleteDocuments",
        "ReadProjectConsumptionReport",
        "ReadTenantConsumptionReport",
        "CreateMeasurements",
        "ReadMeasurements",
        "UpdateMeasurements",
        "DeleteMeasurements",
        "UpdateMeasurementStatus",
        "ReadMeasurementsSummaries",
        "CreateFilesTags",
        "UpdateFilesTags",
        "InitializeFilesProject",
        "DeleteFilesTags",
        "ReadFilesTags",
        "AddFiles",
        "DeleteFiles",
        "UpdateFiles",
        "TagFiles",
        "ReadJobs",
        "LockFilesUnversioned",
        "ForceUnlockFiles",
        "DownloadFiles",
        "ReadFileHistory",
        "DownloadFileHistoricContent",
        "CreateProjectInvitations",
        "ModifyInternalEventCommunication",
        "ReadInternalEventCommunication",
        "ModifyExternalEventCommunication",
        "ReadExternalEventCommunication",
        "ManageInternalEventCommunication",
        "SetRevisionAsCurrent",
        "CreateQhseEvents",
        "ReadQhseEvents",
        "UpdateQhseEvents",
        "SetQhseEventStatusToClosed",
        "SetQhseEventStatusToQualityControlled",
        "ReadQualityControlledQhseEvents",
        "ReadDomains",
        "CreateDomains",
        "DeleteDomains",
        "ReadExportFormats",
        "ExportFiles",
        "DeleteExportRules",
        "ReadExportRules",
        "ModifyExportRules",
        "CreateExportRules",
        "ReadMachineControlConnections",
        "CreateMachineControlConnections",
        "DeleteMachineControlConnections",
        "ReadVisualizationToolsConnections",
        "CreateVisualizationToolsConnections",
        "DeleteVisualizationToolsConnections",
        "ReadNvdbConnections",
        "CreateNvdbConnections",
        "DeleteNvdbConnections",
        "ReadUnitTypes",
        "ReadUnitLocations",
        "CalculateProjectConsumptionReport",
        "CalculateTenantConsumptionReport",
        "ReadActiveProjectModules",
        "ReadActiveOrganizationModules",
        "UpdateActiveProjectModules",
        "UpdateActiveOrganizationModules",
        "UpdateModels",
        "DeleteModels",
        "ConvertTerrainProjects",
        "AcceptElevatedMembershipRequests",
        "DeleteElevatedMembershipRequests",
        "ReadElevatedMembershipRequests",
        "AcceptOrganizationAdministratorMembershipRequestsLevel1",
        "AcceptOrganizationAdministratorMembershipRequestsLevel2",
        "AcceptOrganizationAdministratorMembershipRequestsLevel3",
        "ReadOrganizationAdministratorMembershipRequestsLevel1",
        "ReadOrganizationAdministratorMembershipRequestsLevel2",
        "ReadOrganizationAdministratorMembershipRequestsLevel3",
        "DeleteOrganizationAdministratorMembershipRequestsLevel1",
        "DeleteOrganizationAdministratorMembershipRequestsLevel2",
        "DeleteOrganizationAdministratorMembershipRequestsLevel3",
        "CreateOrganizationAdministratorMembershipRequests",
        "UpdateMapServiceCredentials",
        "DeleteMapServiceCredentials",
        "UpdateUserListSetting",
        "UpdateModelGroupings",
        "ReadOrganizationMembersWithGlobalRoles",
        "ReadGlobalUnitTypes",
        "CreateGlobalDomains",
        "ReadGlobalDomains",
        "DeleteGlobalDomains",
        "ReadGlobalExportRules",
        "ModifyGlobalExportRules",
        "CreateGlobalExportRules",
        "DeleteGlobalExportRules",
        "ExportVisualizationToolsFiles",
        "ReadVisualizationToolsExportJournalEntries",
        "ReadMachineControlExportJournalEntries",
        "RestoreFiles",
        "Count",
    });
}

namespace {

struct Unnamed {
    const char* name;
    std::function<void()> convert;
    std::u16string_view message;
};

const Unnamed kUnnamed[] = {
    {"role_12_to_service", [] { to_cs_enum<api::UserRole>(static_cast<UserRole>(12)); }, u"cppEnum"},
    {"role_minus_1_to_service", [] { marshal_as<api::UserRole>(static_cast<UserRole>(-1)); }, u"cppEnum"},
    {"status_5_to_service", [] { to_cs_enum<api::ApprovalStatus>(static_cast<ApprovalStatus>(5)); }, u"cppEnum"},
    {"file_type_int_min_to_service", [] { to_cs_enum<api::ZelvoFileType>(static_cast<ZelvoFileType>(INT_MIN)); },
     u"cppEnum"},
    {"geometry_3_to_service", [] { marshal_as<api::ZelvoGeometryType>(static_cast<ZelvoGeometryType>(3)); },
     u"cppEnum"},
    {"name_service_lacks", [] { to_cs_enum<probe::Module>(ApplicationModule::Qhse); }, u"cppEnum"},
    {"service_role_42", [] { to_cpp_enum<UserRole>(static_cast<api::UserRole>(42)); }, u"csEnum"},
    {"service_permission_42", [] { marshal_as<UserPermission>(static_cast<api::UserPermission>(42)); }, u"csEnum"},
    {"service_module_42", [] { marshal_as<ApplicationModule>(static_cast<api::ApplicationModule>(42)); }, u"csEnum"},
    {"service_file_type_42", [] { to_cpp_enum<ZelvoFileType>(static_cast<api::ZelvoFileType>(42)); }, u"csEnum"},
    {"service_part_type_42", [] { marshal_as<PostNumberPartType>(static_cast<api::PostNumberPartType>(42)); },
     u"csEnum"},
    // 1 is a native number (Proposed) but no service one: its text "1" must not be read as a number.
    {"service_status_1", [] { to_cpp_enum<ApprovalStatus>(static_cast<api::ApprovalStatus>(1)); }, u"csEnum"},
    {"service_name_differs_in_case", [] { to_cpp_enum<ApplicationModule>(probe::Module::QHSE); }, u"csEnum"},
    {"service_name_host_lacks", [] { to_cpp_enum<ApplicationModule>(probe::Module::Drones); }, u"csEnum"},
};

class EnumWithoutName : public ::testing::TestWithParam<Unnamed> {};

} // namespace

TEST_P(EnumWithoutName, FailsWithTheParameterName) {
    const auto error = raised<System::InvalidCastException>(GetParam().convert);
    EXPECT_EQ(error.Message()->View(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Values, EnumWithoutName, ::testing::ValuesIn(kUnnamed),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(EnumNames, ServiceNumbersPlayNoPart) {
    EXPECT_EQ(to_cpp_enum<ApplicationModule>(probe::Module::Events), ApplicationModule::Events);
    EXPECT_EQ(marshal_as<ApplicationModule>(api::ApplicationModule::Qhse), ApplicationModule::Qhse);
}

TEST(EnumNames, TextFailureReachesTheCallerFromServiceButBecomesCppEnumToService) {
    CodePageScope unsupported(12345);
    // Only a failed lookup is a cast error; the text conversion's own error is not disguised as one.
    const auto error = raised<System::ArgumentException>([] { to_cpp_enum<UserRole>(api::UserRole::Observer); });
    EXPECT_EQ(error.Message()->View(), kWideFailed);

    const auto cast = raised<System::InvalidCastException>([] { to_cs_enum<api::UserRole>(UserRole::Observer); });
    EXPECT_EQ(cast.Message()->View(), u"cppEnum");
}
