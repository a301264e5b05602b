// Contract, post and project conversions from the service object model.
#include <via/marshal/contracts.h>

#include "support/values.h"

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cstdint>
#include <limits>
#include <string>

using namespace via::marshal;
using System::DateTime;
using System::DateTimeKind;
using System::Handle;
using System::String;
using test::CodePageScope;
using test::listOf;
using test::S;
namespace api = OrvaneModule::ApiModels;
namespace models = OrvaneModule::Models;

namespace {

TimePoint at(std::chrono::sys_days day, std::chrono::hours hour = std::chrono::hours(0)) {
    return TimePoint(day + hour);
}
std::int64_t ticksOf(const TimePoint& t) {
    return t.time_since_epoch().count();
}

DateTime utc(int year, int month, int day, int hour = 0) {
    return DateTime(year, month, day, hour, 0, 0, DateTimeKind::Utc);
}

Handle<api::Post> post(std::u16string_view id, double contractQuantity = 0.0) {
    auto p = System::gcnew<api::Post>();
    p->Id = S(id);
    p->ContractQuantity = contractQuantity;
    return p;
}

Handle<api::Contract> contract(std::u16string_view id) {
    auto c = System::gcnew<api::Contract>();
    c->Id = S(id);
    return c;
}

template <class T>
using ServiceListOf = Handle<System::Collections::Generic::List<Handle<T>>>;

class Contracts : public ::testing::Test {
protected:
    CodePageScope codePage_{1252};
};

} // namespace

TEST_F(Contracts, ContractPostCarriesEveryPropertyToItsOwnField) {
    auto from = System::gcnew<models::ContractPost>();
    from->Id = S(u"pst-1");
    from->PostNumber = S(u"02.03.010");
    from->Title = S(u"Gr\u00F8ft");
    from->Unit = S(u"m3");
    from->Visible = true;
    from->ContractId = S(u"ctr-1");
    from->ContractType = S(u"ChangeOrder");

    const auto to = marshal_as<ContractPost>(from);
    EXPECT_EQ(to.id, "pst-1");
    EXPECT_EQ(to.contractId, "ctr-1");
    EXPECT_EQ(to.postNumber, "02.03.010");
    EXPECT_EQ(to.title, std::string("Gr\xF8") + "ft"); // in the thread's code page
    EXPECT_EQ(to.unit, "m3");
    EXPECT_EQ(to.contractType, "ChangeOrder");
    EXPECT_TRUE(to.visible);
    EXPECT_EQ(to.unmappedText, "");
}

TEST_F(Contracts, NullAndEmptyTextBothGiveEmptyFields) {
    for (const auto& title : {Handle<String>(), S(u"")}) {
        auto from = System::gcnew<models::ContractPost>();
        from->Title = title;
        const auto to = marshal_as<ContractPost>(from);
        EXPECT_EQ(to.title, "");
        EXPECT_EQ(to.id, "");
        EXPECT_FALSE(to.visible);
    }
}

TEST_F(Contracts, PostCarriesTextDatesAndQuantitiesUnchanged) {
    using namespace std::chrono;
    auto from = post(u"pst-7");
    from->PostNumber = S(u"07.01.001");
    from->Title = S(u"Asphalt");
    from->InternalNote = nullptr;
    from->DateCreated = utc(2024, 3, 4, 10);
    from->DateModified = utc(2025, 9, 30, 16);
    from->Unit = S(u"t");
    from->ContractQuantity = 0.1 + 0.2; // not representable exactly: must survive bit for bit
    from->AccumulatedQuantity = -std::numeric_limits<double>::denorm_min();

    const auto to = marshal_as<Post>(from);
    EXPECT_EQ(to.id, "pst-7");
    EXPECT_EQ(to.postNumber, "07.01.001");
    EXPECT_EQ(to.title, "Asphalt");
    EXPECT_EQ(to.internalNote, "");
    EXPECT_EQ(to.dateCreated, at(sys_days(2024y / 3 / 4), hours(10)));
    EXPECT_EQ(to.dateModified, at(sys_days(2025y / 9 / 30), hours(16)));
    EXPECT_EQ(to.unit, "t");
    EXPECT_EQ(std::bit_cast<std::uint64_t>(to.contractQuantity), std::bit_cast<std::uint64_t>(0.1 + 0.2));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(to.accumulatedQuantity),
              std::bit_cast<std::uint64_t>(-std::numeric_limits<double>::denorm_min()));
}

TEST_F(Contracts, ContractCarriesEveryPropertyToItsOwnField) {
    using namespace std::chrono;
    auto from = contract(u"ctr-1");
    from->Name = S(u"Main works");
    from->Prefix = S(u"FB");
    from->Number = S(u"K01");
    from->Standard = S(u"NS 8405");
    from->Type = S(u"Construction");
    from->Status = S(u"Active");
    from->DateCreated = utc(2024, 3, 4);
    from->DateModified = utc(2025, 10, 2, 8);

    const auto to = marshal_as<Contract>(from);
    EXPECT_EQ(to.id, "ctr-1");
    EXPECT_EQ(to.name, "Main works");
    EXPECT_EQ(to.prefix, "FB");
    EXPECT_EQ(to.number, "K01");
    EXPECT_FALSE(to.unmappedFlag);
    EXPECT_EQ(to.dateCreated, at(sys_days(2024y / 3 / 4)));
    EXPECT_EQ(to.dateModified, at(sys_days(2025y / 10 / 2), hours(8)));
    EXPECT_EQ(to.standard, "NS 8405");
    EXPECT_EQ(to.type, "Construction");
    EXPECT_EQ(to.status, "Active");
    EXPECT_EQ(to.relatedContractId, "");
    EXPECT_TRUE(to.posts.empty());
}

TEST_F(Contracts, RelatedContractGivesItsIdOrNothing) {
    struct Case {
        const char* name;
        Handle<api::RelatedContract> related;
        std::string expected;
    };
    auto withId = System::gcnew<api::RelatedContract>();
    withId->Id = S(u"ctr-main");
    withId->Name = S(u"Main works");
    auto withNullId = System::gcnew<api::RelatedContract>();
    withNullId->Name = S(u"Main works");
    const Case cases[] = {
        {"absent", nullptr, ""},
        {"present", withId, "ctr-main"},
        {"null_id", withNullId, ""},
    };
    for (const auto& c : cases) {
        auto from = contract(u"ctr-change");
        from->RelatedContract = c.related;
        EXPECT_EQ(marshal_as<Contract>(from).relatedContractId, c.expected) << c.name;
    }
}

TEST_F(Contracts, PostsKeepTheServiceOrderAndNullOrEmptyListsGiveNone) {
    auto from = contract(u"ctr-1");
    from->posts = listOf<Handle<api::Post>>({post(u"p3", 3.0), post(u"p1", 1.0), post(u"p2", 2.0)});
    const auto to = marshal_as<Contract>(from);
    ASSERT_EQ(to.posts.size(), 3u);
    EXPECT_EQ(to.posts[0].id, "p3");
    EXPECT_EQ(to.posts[1].id, "p1");
    EXPECT_EQ(to.posts[2].id, "p2");
    EXPECT_EQ(to.posts[1].contractQuantity, 1.0);

    for (const auto& list : {ServiceListOf<api::Post>(), listOf<Handle<api::Post>>({})}) {
        from->posts = list;
        EXPECT_TRUE(marshal_as<Contract>(from).posts.empty());
    }
}

TEST_F(Contracts, ANullElementFailsTheWholeConversion) {
    auto from = contract(u"ctr-1");
    from->posts = listOf<Handle<api::Post>>({post(u"p1"), nullptr, post(u"p3")});
    EXPECT_THROW((void)marshal_as<Contract>(from), System::NullReferenceException);

    const auto contracts = listOf<Handle<api::Contract>>({contract(u"c1"), nullptr});
    EXPECT_THROW((void)marshal_as<std::vector<Contract>>(contracts), System::NullReferenceException);
    auto meta = System::gcnew<api::ContractMeta>();
    meta->contracts = contracts;
    EXPECT_THROW((void)marshal_as<ContractMeta>(meta), System::NullReferenceException);
}

TEST_F(Contracts, NullObjectsOtherThanAProjectAreNotTestedButFail) {
    EXPECT_THROW((void)marshal_as<ContractMeta>(Handle<api::ContractMeta>()), System::NullReferenceException);
    EXPECT_THROW((void)marshal_as<Contract>(Handle<api::Contract>()), System::NullReferenceException);
    EXPECT_THROW((void)marshal_as<ContractPost>(Handle<models::ContractPost>()), System::NullReferenceException);
}

TEST_F(Contracts, ContractMetaKeepsItsContractsInOrderAndANullListGivesNone) {
    auto meta = System::gcnew<api::ContractMeta>();
    EXPECT_TRUE(marshal_as<ContractMeta>(meta).contracts.empty());

    auto second = contract(u"c2");
    second->posts = listOf<Handle<api::Post>>({post(u"p1")});
    meta->contracts = listOf<Handle<api::Contract>>({contract(u"c1"), second});
    const auto to = marshal_as<ContractMeta>(meta);
    ASSERT_EQ(to.contracts.size(), 2u);
    EXPECT_EQ(to.contracts[0].id, "c1");
    EXPECT_EQ(to.contracts[1].id, "c2");
    ASSERT_EQ(to.contracts[1].posts.size(), 1u);
    EXPECT_EQ(to.contracts[1].posts[0].id, "p1");
}

TEST_F(Contracts, ContractListVectorFormRefusesANullList) {
    try {
        (void)marshal_as<std::vector<Contract>>(ServiceListOf<api::Contract>());
        ADD_FAILURE() << "a null list converted";
    } catch (const System::ArgumentNullException& e) {
        EXPECT_EQ(e.ParamName()->View(), u"list");
    }
    EXPECT_THROW((void)marshal_as<std::vector<ContractPost>>(ServiceListOf<models::ContractPost>()),
                 System::ArgumentNullException);
}

TEST_F(Contracts, ProjectDatesKeepTheirPresence) {
    auto from = System::gcnew<api::Project>();
    from->Id = S(u"prj-1");
    from->Name = S(u"Fjord Bridge");
    from->ProjectNumber = S(u"P-17");
    from->CustomerName = S(u"Nordfjord");
    from->DateModified = DateTime(1970, 1, 1, 0, 0, 1, DateTimeKind::Utc);
    auto due = System::gcnew<api::ReportDueDate>();
    due->Name = S(u"Monthly report");
    due->DueDate = DateTime(1970, 1, 1, 0, 0, 0, DateTimeKind::Utc);
    auto finalAccount = System::gcnew<api::ReportDueDate>();
    finalAccount->Name = S(u"Final account");
    from->ReportDueDates = listOf<Handle<api::ReportDueDate>>({due, finalAccount});

    const auto to = marshal_as<std::optional<VeskoProject>>(from);
    ASSERT_TRUE(to.has_value());
    EXPECT_EQ(to->id, "prj-1");
    EXPECT_EQ(to->name, "Fjord Bridge");
    EXPECT_EQ(to->projectNumber, "P-17");
    EXPECT_EQ(to->customerName, "Nordfjord");
    EXPECT_FALSE(to->dateCreated.has_value());
    ASSERT_TRUE(to->dateModified.has_value());
    EXPECT_EQ(ticksOf(*to->dateModified), 10'000'000);
    ASSERT_EQ(to->reportDueDates.size(), 2u);
    EXPECT_EQ(to->reportDueDates[0].name, "Monthly report");
    EXPECT_EQ(ticksOf(to->reportDueDates[0].dueDate), 0);
    EXPECT_EQ(to->reportDueDates[0].unmappedText, "");
    EXPECT_EQ(to->reportDueDates[1].name, "Final account");
    EXPECT_EQ(to->unmappedText, "");

    // A date at the epoch is a present date, not an absent one.
    from->DateCreated = DateTime(1970, 1, 1, 0, 0, 0, DateTimeKind::Utc);
    const auto atEpoch = marshal_as<VeskoProject>(from);
    ASSERT_TRUE(atEpoch.dateCreated.has_value());
    EXPECT_EQ(ticksOf(*atEpoch.dateCreated), 0);
}

TEST_F(Contracts, AProjectOfNullsHoldsAnEmptyRecordAndANullProjectNothing) {
    const auto empty = marshal_as<std::optional<VeskoProject>>(System::gcnew<api::Project>());
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->id, "");
    EXPECT_EQ(empty->name, "");
    EXPECT_EQ(empty->projectNumber, "");
    EXPECT_EQ(empty->customerName, "");
    EXPECT_FALSE(empty->dateCreated.has_value());
    EXPECT_FALSE(empty->dateModified.has_value());
    EXPECT_TRUE(empty->reportDueDates.empty());

    EXPECT_EQ(marshal_as<std::optional<VeskoProject>>(Handle<api::Project>()), std::nullopt);
}

TEST_F(Contracts, ANullDueDateFailsTheProject) {
    auto from = System::gcnew<api::Project>();
    from->ReportDueDates = listOf<Handle<api::ReportDueDate>>({nullptr});
    EXPECT_THROW((void)marshal_as<std::optional<VeskoProject>>(from), System::NullReferenceException);
}

TEST_F(Contracts, TextThatDoesNotConvertFailsTheRecord) {
    auto from = System::gcnew<models::ContractPost>();
    from->ContractType = S(u"x");
    CodePageScope unsupported(12345);
    EXPECT_THROW((void)marshal_as<ContractPost>(from), System::ArgumentException);
}

// Post number plans are not exchanged by any function, but their list forms exist and must convert.
TEST_F(Contracts, PostNumberPartListsConvertByNameAndInOrder) {
    auto code = [](std::u16string_view c, std::u16string_view d) {
        auto to = System::gcnew<api::PostNumberPartCode>();
        to->Code = S(c);
        to->Description = d.empty() ? nullptr : S(d);
        return to;
    };
    auto building = System::gcnew<api::PostNumberPartDefinition>();
    building->Type = api::PostNumberPartType::BuildingPart;
    building->Name = S(u"Building part");
    building->Length = 2;
    building->Codes = listOf<Handle<api::PostNumberPartCode>>({code(u"01", u"Foundations"), code(u"02", u"")});
    auto serial = System::gcnew<api::PostNumberPartDefinition>();
    serial->Type = api::PostNumberPartType::MainSerialNumber;
    serial->Length = 3;

    const auto definitions = marshal_as<std::vector<PostNumberPartDefinition>>(
        listOf<Handle<api::PostNumberPartDefinition>>({building, serial}));
    ASSERT_EQ(definitions.size(), 2u);
    EXPECT_EQ(definitions[0].type, PostNumberPartType::BuildingPart);
    EXPECT_EQ(definitions[0].name, "Building part");
    EXPECT_EQ(definitions[0].length, 2);
    ASSERT_EQ(definitions[0].codes.size(), 2u);
    EXPECT_EQ(definitions[0].codes[0].code, "01");
    EXPECT_EQ(definitions[0].codes[0].description, "Foundations");
    EXPECT_EQ(definitions[0].codes[1].description, "");
    EXPECT_EQ(definitions[1].type, PostNumberPartType::MainSerialNumber);
    EXPECT_EQ(definitions[1].name, "");
    EXPECT_TRUE(definitions[1].codes.empty());

    EXPECT_EQ(marshal_as<std::optional<std::vector<PostNumberPartDefinition>>>(
                  ServiceListOf<api::PostNumberPartDefinition>()),
              std::nullopt);
    const auto codes = marshal_as<std::optional<std::vector<PostNumberPartCode>>>(
        listOf<Handle<api::PostNumberPartCode>>({code(u"A", u"")}));
    ASSERT_TRUE(codes.has_value());
    ASSERT_EQ(codes->size(), 1u);
    EXPECT_EQ((*codes)[0].code, "A");
    EXPECT_THROW((void)marshal_as<std::vector<PostNumberPartCode>>(ServiceListOf<api::PostNumberPartCode>()),
                 System::ArgumentNullException);

    serial->Type = static_cast<api::PostNumberPartType>(42); // no name: fails, never converts by number
    EXPECT_THROW((void)marshal_as<std::vector<PostNumberPartDefinition>>(
                     listOf<Handle<api::PostNumberPartDefinition>>({building, serial})),
                 System::InvalidCastException);
}
