// Measurement record conversions: proposals, comments, attachments, chainage, file totals, history.
#include <via/marshal/measurements.h>

#include "support/values.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

using namespace via::marshal;
namespace api = OrvaneModule::ApiModels;
using System::DateTime;
using System::DateTimeKind;
using test::CodePageScope;
using test::gcnew;
using test::Handle;
using test::List;
using test::S;
using test::T;
using test::ZoneScope;

// Field-wise equality, so vectors of records compare with EXPECT_EQ.
bool operator==(const MeasurementComment& a, const MeasurementComment& b) {
    return std::tie(a.text, a.dateCreated, a.author) == std::tie(b.text, b.dateCreated, b.author);
}
bool operator==(const MeasurementAttachment& a, const MeasurementAttachment& b) {
    return std::tie(a.id, a.uri, a.note, a.chainage, a.displayName, a.ownerUniqueId) ==
           std::tie(b.id, b.uri, b.note, b.chainage, b.displayName, b.ownerUniqueId);
}
bool operator==(const ChainMass& a, const ChainMass& b) {
    return a.chain == b.chain && a.mass == b.mass;
}

namespace {

TimePoint ticks(std::int64_t count) {
    return TimePoint(TimePoint::duration(count));
}

void expectSame(const MeasurementProposal& a, const MeasurementProposal& b) {
    EXPECT_EQ(a.status, b.status);
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.dateCreated, b.dateCreated);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.clientProvidedId, b.clientProvidedId);
    EXPECT_EQ(a.connectedFileId, b.connectedFileId);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.fileRevision, b.fileRevision);
    EXPECT_EQ(a.etag, b.etag);
    EXPECT_EQ(a.postId, b.postId);
    EXPECT_EQ(a.quantity, b.quantity);
    EXPECT_EQ(a.chainage.masses, b.chainage.masses);
    EXPECT_EQ(a.chainage.resolution, b.chainage.resolution);
    EXPECT_EQ(a.creator, b.creator);
    EXPECT_EQ(a.comments, b.comments);
    EXPECT_EQ(a.attachments, b.attachments);
}

// Every field set, each to a value no other field has.
MeasurementProposal fullRecord() {
    MeasurementProposal p;
    p.status = ApprovalStatus::QualityAssured;
    p.id = "msr-1";
    p.dateCreated = ticks(16'000'000'000'000'123);
    p.description = "M\xE5ling ved bru"; // a Windows-1252 byte beyond ASCII
    p.clientProvidedId = "item-7";
    p.connectedFileId = "file-3";
    p.name = "Kantstein";
    p.fileRevision = 4;
    p.etag = "\"e1\"";
    p.postId = "post-9";
    p.quantity = 12.75;
    p.chainage = {{{100, 1.5}, {120, 2.5}, {140, 3.5}}, 10};
    p.creator = "ada";
    p.comments = {{"first", ticks(-10'000'000), "bob"}, {"second", ticks(42), "eve"}};
    p.attachments = {{"att-1", "https://x/1", "note 1", "0+100", "photo 1", "own-1"},
                     {"att-2", "https://x/2", "note 2", "0+120", "photo 2", "own-2"}};
    return p;
}

template <class Exception, class F>
void expectRaises(F&& f) {
    EXPECT_THROW(f(), Exception);
}

} // namespace

class MeasurementConversion : public ::testing::Test {
protected:
    CodePageScope codePage_{1252};
};

TEST_F(MeasurementConversion, AFullRecordSurvivesTheServiceUnchanged) {
    const MeasurementProposal original = fullRecord();
    const auto service = marshal_as<Handle<api::Measurement>>(original);
    expectSame(marshal_as<MeasurementProposal>(service), original);

    // And it reached the service where the service expects it.
    EXPECT_EQ(T(service->Id), u"msr-1");
    EXPECT_EQ(service->Status, api::ApprovalStatus::QualityAssured);
    EXPECT_EQ(T(service->Description), u"M\u00E5ling ved bru");
    EXPECT_EQ(T(service->Item->ClientProvidedId), u"item-7");
    EXPECT_EQ(T(service->Item->ConnectedFileId), u"file-3");
    EXPECT_EQ(T(service->Item->Name), u"Kantstein");
    EXPECT_EQ(service->Item->FileRevision, 4);
    EXPECT_EQ(T(service->Item->etag), u"\"e1\"");
    EXPECT_EQ(T(service->PostId), u"post-9");
    ASSERT_EQ(service->Chainage->Masses->Count(), 3);
    EXPECT_EQ((*service->Chainage->Masses)[2]->Chain, 140);
    EXPECT_EQ((*service->Chainage->Masses)[2]->Mass, 3.5);
    EXPECT_EQ(service->Chainage->Resolution, 10);
    EXPECT_EQ(T(service->Creator), u"ada");
    ASSERT_EQ(service->Comments->Count(), 2);
    const auto& comment = *(*service->Comments)[0];
    EXPECT_EQ(T(comment.Text), u"first");
    EXPECT_EQ(T(comment.Author), u"bob");
    EXPECT_EQ(comment.DateCreated, DateTime(1969, 12, 31, 23, 59, 59, DateTimeKind::Utc));
    EXPECT_EQ(comment.DateCreated.Kind(), DateTimeKind::Utc);
    ASSERT_EQ(service->Attachments->Count(), 2);
    const auto& attachment = *(*service->Attachments)[1];
    EXPECT_EQ(
        (std::vector<std::u16string>{T(attachment.Id), T(attachment.Uri), T(attachment.Note), T(attachment.Chainage),
                                     T(attachment.DisplayName), T(attachment.OwnerUniqueId)}),
        (std::vector<std::u16string>{u"att-2", u"https://x/2", u"note 2", u"0+120", u"photo 2", u"own-2"}));
}

TEST_F(MeasurementConversion, ADefaultRecordReachesTheServiceFullyFormed) {
    const auto m = marshal_as<Handle<api::Measurement>>(MeasurementProposal{});
    EXPECT_EQ(T(m->Id), u"");
    EXPECT_EQ(m->Status, api::ApprovalStatus::NA);
    EXPECT_EQ(m->Type, static_cast<api::MeasurementType>(3));
    EXPECT_EQ(m->DateCreated, DateTime(1970, 1, 1, 0, 0, 0, DateTimeKind::Utc));
    EXPECT_EQ(m->DateCreated.Kind(), DateTimeKind::Utc);
    EXPECT_EQ(T(m->Description), u"");
    ASSERT_TRUE(m->Item != nullptr);
    EXPECT_EQ(T(m->Item->ClientProvidedId), u"");
    EXPECT_EQ(T(m->Item->ConnectedFileId), u"");
    EXPECT_EQ(T(m->Item->Name), u"");
    EXPECT_EQ(T(m->Item->etag), u"");
    EXPECT_EQ(m->Item->FileRevision, 0);
    EXPECT_EQ(T(m->PostId), u"");
    EXPECT_EQ(m->Quantity, 0.0);
    EXPECT_TRUE(m->Chainage == nullptr);
    EXPECT_EQ(T(m->Creator), u"");
    ASSERT_TRUE(m->Comments != nullptr);
    EXPECT_EQ(m->Comments->Count(), 0);
    ASSERT_TRUE(m->Attachments != nullptr);
    EXPECT_EQ(m->Attachments->Count(), 0);
}

TEST_F(MeasurementConversion, ChainageTravelsOnlyWithStations) {
    MeasurementProposal p;
    p.chainage.resolution = 7;
    const auto without = marshal_as<Handle<api::Measurement>>(p);
    EXPECT_TRUE(without->Chainage == nullptr);
    // The resolution is lost on the way: back from the service there is no distribution at all.
    EXPECT_EQ(marshal_as<MeasurementProposal>(without).chainage.resolution, 0);

    p.chainage = {{{120, 2.5}}, 10};
    const auto with = marshal_as<Handle<api::Measurement>>(p);
    ASSERT_TRUE(with->Chainage != nullptr);
    ASSERT_EQ(with->Chainage->Masses->Count(), 1);
    EXPECT_EQ((*with->Chainage->Masses)[0]->Chain, 120);
    EXPECT_EQ((*with->Chainage->Masses)[0]->Mass, 2.5);
    EXPECT_EQ(with->Chainage->Resolution, 10);
}

TEST_F(MeasurementConversion, NullTextAndListsFromTheServiceReadAsEmpty) {
    auto m = gcnew<api::Measurement>();
    m->Status = api::ApprovalStatus::Invoiced;
    m->Item = gcnew<api::MeasurementItemShort>(); // present, but with null text
    m->Item->FileRevision = 3;
    m->Quantity = 2.0;
    const auto p = marshal_as<MeasurementProposal>(m);
    EXPECT_EQ(p.status, ApprovalStatus::Invoiced);
    for (const auto* field :
         {&p.id, &p.description, &p.clientProvidedId, &p.connectedFileId, &p.name, &p.etag, &p.postId, &p.creator})
        EXPECT_EQ(*field, "");
    EXPECT_EQ(p.fileRevision, 3);
    EXPECT_EQ(p.quantity, 2.0);
    EXPECT_TRUE(p.chainage.masses.empty());
    EXPECT_EQ(p.chainage.resolution, 0);
    EXPECT_TRUE(p.comments.empty());
    EXPECT_TRUE(p.attachments.empty());

    // A distribution without stations keeps the service's resolution.
    m->Chainage = gcnew<api::ChainMasses>();
    m->Chainage->Resolution = 25;
    const auto withChainage = marshal_as<MeasurementProposal>(m);
    EXPECT_TRUE(withChainage.chainage.masses.empty());
    EXPECT_EQ(withChainage.chainage.resolution, 25);

    auto comment = gcnew<api::Comment>();
    comment->DateCreated = DateTime(1970, 1, 1, 0, 0, 0, DateTimeKind::Utc);
    auto attachment = gcnew<api::Attachment>();
    EXPECT_EQ(marshal_as<MeasurementComment>(comment), MeasurementComment{});
    EXPECT_EQ(marshal_as<MeasurementAttachment>(attachment), MeasurementAttachment{});
}

TEST_F(MeasurementConversion, AMissingObjectFailsTheWholeAnswer) {
    const auto valid = [] {
        auto m = gcnew<api::Measurement>();
        m->Status = api::ApprovalStatus::NA;
        m->Item = gcnew<api::MeasurementItemShort>();
        return m;
    };
    using Measurements = List<Handle<api::Measurement>>;

    struct Case {
        const char* name;
        Handle<Measurements> list;
    };
    auto withoutItem = valid();
    withoutItem->Item = nullptr;
    auto nullComment = valid();
    nullComment->Comments = test::listOf<Handle<api::Comment>>({gcnew<api::Comment>(), nullptr});
    auto nullAttachment = valid();
    nullAttachment->Attachments = test::listOf<Handle<api::Attachment>>({nullptr});
    auto nullStation = valid();
    nullStation->Chainage = gcnew<api::ChainMasses>();
    nullStation->Chainage->Masses = test::listOf<Handle<api::ChainMass>>({gcnew<api::ChainMass>(), nullptr});
    const Case cases[] = {
        {"second has no item", test::listOf<Handle<api::Measurement>>({valid(), withoutItem, valid()})},
        {"second is null", test::listOf<Handle<api::Measurement>>({valid(), nullptr, valid()})},
        {"null comment", test::listOf<Handle<api::Measurement>>({valid(), nullComment})},
        {"null attachment", test::listOf<Handle<api::Measurement>>({nullAttachment, valid()})},
        {"null station", test::listOf<Handle<api::Measurement>>({valid(), nullStation})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectRaises<System::NullReferenceException>(
            [&] { (void)marshal_as<std::vector<MeasurementProposal>>(c.list); });
    }
    expectRaises<System::NullReferenceException>([&] { (void)marshal_as<MeasurementProposal>(withoutItem); });
    // Only the optional form reads a null answer as no value; a present answer without its item fails.
    EXPECT_FALSE(marshal_as<std::optional<MeasurementProposal>>(Handle<api::Measurement>()).has_value());
    expectRaises<System::NullReferenceException>(
        [&] { (void)marshal_as<std::optional<MeasurementProposal>>(withoutItem); });
    expectRaises<System::ArgumentNullException>(
        [] { (void)marshal_as<std::vector<MeasurementProposal>>(Handle<Measurements>()); });
}

TEST_F(MeasurementConversion, StatusCrossesByNameOnly) {
    MeasurementProposal p;
    p.status = static_cast<ApprovalStatus>(5);
    expectRaises<System::InvalidCastException>([&] { (void)marshal_as<Handle<api::Measurement>>(p); });

    auto m = gcnew<api::Measurement>();
    m->Item = gcnew<api::MeasurementItemShort>();
    m->Status = static_cast<api::ApprovalStatus>(0); // no service name
    expectRaises<System::InvalidCastException>([&] { (void)marshal_as<MeasurementProposal>(m); });
}

TEST_F(MeasurementConversion, LocalDateTimesAreStoredAsTheirUtcInstant) {
    ZoneScope zone("XST-2"); // two hours east of UTC all year
    auto comment = gcnew<api::Comment>();
    comment->DateCreated = DateTime(2021, 6, 1, 12, 0, 0, DateTimeKind::Local);
    const auto utc = DateTime(2021, 6, 1, 10, 0, 0, DateTimeKind::Utc);
    const auto expected = ticks((utc - DateTime(1970, 1, 1, 0, 0, 0, DateTimeKind::Utc)).Ticks());
    EXPECT_EQ(marshal_as<MeasurementComment>(comment).dateCreated, expected);

    auto m = gcnew<api::Measurement>();
    m->Status = api::ApprovalStatus::Proposed;
    m->Item = gcnew<api::MeasurementItemShort>();
    m->DateCreated = DateTime(2021, 6, 1, 12, 0, 0, DateTimeKind::Unspecified);
    EXPECT_EQ(marshal_as<MeasurementProposal>(m).dateCreated, expected);

    auto total = gcnew<api::MeasurementItemFileTotal>();
    total->dateModified = comment->DateCreated;
    EXPECT_EQ(marshal_as<MeasurementItemFileTotal>(total).dateModified, expected);
}

TEST_F(MeasurementConversion, FileTotalsAndHistoryReadEveryProperty) {
    auto total = gcnew<api::MeasurementItemFileTotal>();
    total->contractId = S(u"c-1");
    total->postId = S(u"p-2");
    total->clientProvidedId = S(u"item-3");
    total->connectedFileId = S(u"file-4");
    total->accumulatedQuantity = 99.5;
    total->dateCreated = DateTime(1970, 1, 1, 0, 0, 1, DateTimeKind::Utc);
    total->dateModified = DateTime(1970, 1, 1, 0, 0, 2, DateTimeKind::Utc);
    total->etag = S(u"e-5");
    total->id = S(u"tot-6");
    const auto t = marshal_as<std::vector<MeasurementItemFileTotal>>(
        test::listOf<Handle<api::MeasurementItemFileTotal>>({total, gcnew<api::MeasurementItemFileTotal>()}));
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].contractId, "c-1");
    EXPECT_EQ(t[0].postId, "p-2");
    EXPECT_EQ(t[0].clientProvidedId, "item-3");
    EXPECT_EQ(t[0].connectedFileId, "file-4");
    EXPECT_EQ(t[0].accumulatedQuantity, 99.5);
    EXPECT_EQ(t[0].dateCreated, ticks(10'000'000));
    EXPECT_EQ(t[0].dateModified, ticks(20'000'000));
    EXPECT_EQ(t[0].etag, "e-5");
    EXPECT_EQ(t[0].id, "tot-6");
    EXPECT_EQ(t[1].id, "");
    EXPECT_EQ(t[1].contractId, "");

    auto recorded = gcnew<api::HistoricalQuantity>();
    recorded->Quantity = 4.25;
    recorded->DateCreated = DateTime(1970, 1, 1, 0, 0, 3, DateTimeKind::Utc);
    auto named = gcnew<api::HistoricalQuantity>();
    named->Id = S(u"hq-1");
    const auto h =
        marshal_as<std::vector<HistoricalQuantity>>(test::listOf<Handle<api::HistoricalQuantity>>({recorded, named}));
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].id, "");
    EXPECT_EQ(h[0].quantity, 4.25);
    EXPECT_EQ(h[0].dateCreated, ticks(30'000'000));
    EXPECT_EQ(h[1].id, "hq-1");

    expectRaises<System::NullReferenceException>([] {
        (void)marshal_as<std::vector<HistoricalQuantity>>(
            test::listOf<Handle<api::HistoricalQuantity>>({gcnew<api::HistoricalQuantity>(), nullptr}));
    });
}
