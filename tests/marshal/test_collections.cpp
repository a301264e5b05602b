// Service lists to vectors and optional vectors, vectors to service lists, null handles to empty optionals.
#include <via/marshal/collections.h>
#include <via/marshal/enums.h>
#include <via/marshal/text.h>

#include "support/values.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace via::marshal;
namespace api = OrvaneModule::ApiModels;
using System::Handle;
using test::CodePageScope;
using test::listOf;
using test::raised;
using test::S;

// A record pair of the tests' own, so the list and optional forms are checked apart from any real record.
namespace probe {

struct Model {
    Handle<System::String> Name;
};

// Counts its copies: converted elements are to be moved into their containers.
struct Record {
    explicit Record(std::string n) : name(std::move(n)) {}
    Record(const Record& other) : name(other.name) { ++copies; }
    Record(Record&&) noexcept = default;
    Record& operator=(const Record& other) {
        name = other.name;
        ++copies;
        return *this;
    }
    Record& operator=(Record&&) noexcept = default;
    ~Record() = default;

    std::string name;
    static inline int copies = 0;
};

} // namespace probe

template <>
struct via::marshal::marshal_traits<probe::Record, Handle<probe::Model>> {
    static probe::Record marshal(const Handle<probe::Model>& model) {
        return probe::Record(detail::fieldText(model->Name));
    }
};

namespace {

using ModelList = Handle<System::Collections::Generic::List<Handle<probe::Model>>>;

Handle<probe::Model> model(std::u16string_view name) {
    auto m = System::gcnew<probe::Model>();
    m->Name = S(name);
    return m;
}

std::vector<std::string> names(const std::vector<probe::Record>& records) {
    std::vector<std::string> result;
    for (const auto& r : records) result.push_back(r.name);
    return result;
}

class Collections : public ::testing::Test {
protected:
    CodePageScope codePage_{1252};
};

} // namespace

TEST_F(Collections, NullListIsAnErrorAsVectorAndAbsentAsOptional) {
    const ServiceList<api::UserRole> null;
    const auto error = raised<System::ArgumentNullException>([&] { (void)marshal_as<std::vector<UserRole>>(null); });
    EXPECT_EQ(error.ParamName()->View(), u"list");
    EXPECT_EQ(marshal_as<std::optional<std::vector<UserRole>>>(null), std::nullopt);
}

TEST_F(Collections, EmptyListIsAnEmptyVectorInBothForms) {
    const auto empty = listOf<api::UserRole>({});
    EXPECT_TRUE(marshal_as<std::vector<UserRole>>(empty).empty());
    EXPECT_EQ(marshal_as<std::optional<std::vector<UserRole>>>(empty), std::vector<UserRole>());
}

TEST_F(Collections, ListKeepsOrderAndDuplicatesInOneExactAllocation) {
    const auto roles = listOf({api::UserRole::Observer, api::UserRole::ProjectsOwner, api::UserRole::Observer});
    const std::vector<UserRole> expected{UserRole::Observer, UserRole::ProjectsOwner, UserRole::Observer};

    const auto vector = marshal_as<std::vector<UserRole>>(roles);
    EXPECT_EQ(vector, expected);
    EXPECT_EQ(vector.capacity(), 3u);
    EXPECT_EQ(marshal_as<std::optional<std::vector<UserRole>>>(roles), expected);
}

TEST_F(Collections, OneFailingElementFailsTheWholeListInBothForms) {
    const auto roles = listOf({api::UserRole::Surveyor, static_cast<api::UserRole>(42), api::UserRole::Foreman});
    const auto asVector = raised<System::InvalidCastException>([&] { (void)marshal_as<std::vector<UserRole>>(roles); });
    EXPECT_EQ(asVector.Message()->View(), u"csEnum");
    // Not turned into an absent list either.
    const auto asOptional =
        raised<System::InvalidCastException>([&] { (void)marshal_as<std::optional<std::vector<UserRole>>>(roles); });
    EXPECT_EQ(asOptional.Message()->View(), u"csEnum");
}

TEST_F(Collections, NullRecordInsideAListFailsTheWholeList) {
    const auto models = listOf<Handle<probe::Model>>({model(u"a"), nullptr, model(u"c")});
    EXPECT_THROW((void)marshal_as<std::vector<probe::Record>>(models), System::NullReferenceException);
}

TEST_F(Collections, RecordFieldListIsEmptyForNullAndEmptyLists) {
    EXPECT_TRUE((detail::fieldList<probe::Record>(ModelList())).empty());
    EXPECT_TRUE((detail::fieldList<probe::Record>(listOf<Handle<probe::Model>>({}))).empty());
    EXPECT_EQ(names(detail::fieldList<probe::Record>(listOf({model(u"a"), model(u"b")}))),
              (std::vector<std::string>{"a", "b"}));
}

TEST_F(Collections, ConvertedRecordsAreMovedNotCopied) {
    const auto models = listOf({model(u"a"), model(u"b"), model(u"c")});
    probe::Record::copies = 0;
    const auto vector = marshal_as<std::vector<probe::Record>>(models);
    const auto optional = marshal_as<std::optional<std::vector<probe::Record>>>(models);
    const auto field = detail::fieldList<probe::Record>(models);
    const auto single = marshal_as<std::optional<probe::Record>>(model(u"d"));
    EXPECT_EQ(probe::Record::copies, 0);
    EXPECT_EQ(names(vector), (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_TRUE(optional.has_value());
    EXPECT_EQ(names(*optional), names(vector));
    EXPECT_EQ(names(field), names(vector));
    ASSERT_TRUE(single.has_value());
    EXPECT_EQ(single->name, "d");
}

TEST_F(Collections, OptionalRecordIsAbsentOnlyForNull) {
    EXPECT_FALSE(marshal_as<std::optional<probe::Record>>(Handle<probe::Model>()).has_value());
    const auto unnamed = marshal_as<std::optional<probe::Record>>(System::gcnew<probe::Model>());
    ASSERT_TRUE(unnamed.has_value());
    EXPECT_EQ(unnamed->name, "");
    // A record that fails to convert is an error, not an absent record.
    CodePageScope unsupported(12345);
    EXPECT_THROW((void)marshal_as<std::optional<probe::Record>>(model(u"x")), System::ArgumentException);
}

TEST_F(Collections, EmptyVectorGivesAnEmptyNonNullList) {
    const auto list = marshal_as<ServiceList<api::ApprovalStatus>>(std::vector<ApprovalStatus>());
    ASSERT_FALSE(list == nullptr);
    EXPECT_EQ(list->Count(), 0);
}

TEST_F(Collections, VectorBecomesAListOfExactCapacityInOrder) {
    const std::vector<ApprovalStatus> statuses{ApprovalStatus::Invoiced, ApprovalStatus::NA, ApprovalStatus::NA,
                                               ApprovalStatus::Proposed, ApprovalStatus::QualityAssured};
    const auto list = marshal_as<ServiceList<api::ApprovalStatus>>(statuses);
    const std::vector<api::ApprovalStatus> expected{api::ApprovalStatus::Invoiced, api::ApprovalStatus::NA,
                                                    api::ApprovalStatus::NA, api::ApprovalStatus::Proposed,
                                                    api::ApprovalStatus::QualityAssured};
    EXPECT_EQ(std::vector<api::ApprovalStatus>(list->begin(), list->end()), expected);
    // Sized up front with the capacity constructor, not grown while adding.
    EXPECT_EQ(list->Capacity(), 5);
}

TEST_F(Collections, VectorWithAnUnnamedElementFailsAsAWhole) {
    const std::vector<ApprovalStatus> statuses{ApprovalStatus::NA, static_cast<ApprovalStatus>(9)};
    const auto error =
        raised<System::InvalidCastException>([&] { (void)marshal_as<ServiceList<api::ApprovalStatus>>(statuses); });
    EXPECT_EQ(error.Message()->View(), u"cppEnum");
}
