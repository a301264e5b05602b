// Measurement proposal functions, driven as a host drives them.
#include "support/service.h"

#include <System/Enum.h>

#include <functional>
#include <string>
#include <vector>

namespace oi = OrvaneModuleIntegration;
using namespace test;

namespace {

constexpr const char* kProject = "prj-fjordbridge";

using MeasurementList = Handle<List<Handle<api::Measurement>>>;

// A service measurement the bridge can convert: status named, item present.
Handle<api::Measurement> measurement(std::u16string_view id, api::ApprovalStatus status = api::ApprovalStatus::NA) {
    auto m = gcnew<api::Measurement>();
    m->Id = S(id);
    m->Status = status;
    m->DateCreated = System::DateTime(2026, 3, 2, 8, 0, 0, System::DateTimeKind::Utc);
    m->Item = gcnew<api::MeasurementItemShort>();
    return m;
}

Handle<api::Measurement> withoutItem() {
    auto m = measurement(u"no-item");
    m->Item = nullptr;
    return m;
}

std::vector<std::string> idsOf(const std::vector<MeasurementProposal>& records) {
    std::vector<std::string> ids;
    for (const auto& r : records) ids.push_back(r.id);
    return ids;
}

// The two kinds of failure every function must absorb: one of the platform's, one of nobody's.
const std::function<void()> kRaises[] = {[] { throw System::InvalidOperationException(u"down"); }, [] { throw 42; }};

class Measurements : public HostTest {};

} // namespace

TEST_F(Measurements, StatusFilterReachesTheServiceByNameInOrder) {
    const std::vector<std::vector<ApprovalStatus>> filters = {
        {}, {ApprovalStatus::Proposed, ApprovalStatus::QualityAssured}, {ApprovalStatus::Invoiced, ApprovalStatus::NA}};
    for (const auto& filter : filters) {
        std::vector<std::u16string> seen = {u"<not called>"};
        auto guard = Sandbox::script<&VeskoIntegration::GetMeasurementProposals>(
            [&](Handle<String> projectId, Handle<List<api::ApprovalStatus>> statuses, int&) {
                seen = {T(projectId)};
                for (const auto status : *statuses)
                    seen.push_back(std::u16string(System::Enum::ToString(status)->View()));
                return gcnew<List<Handle<api::Measurement>>>();
            });
        int responsecode = 0;
        (void)oi::GetMeasurementProposals(kProject, filter, responsecode);
        std::vector<std::u16string> expected = {u"prj-fjordbridge"};
        for (const auto status : filter) {
            const auto name = magic_enum::enum_name(status);
            expected.emplace_back(name.begin(), name.end());
        }
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(Measurements, AStatusWithoutANameNeverReachesTheService) {
    for (const int value : {5, -1}) {
        int responsecode = 17;
        EXPECT_TRUE(oi::GetMeasurementProposals(
                        kProject, {ApprovalStatus::Proposed, static_cast<ApprovalStatus>(value)}, responsecode)
                        .empty());
        EXPECT_EQ(responsecode, 17);

        MeasurementProposal record;
        record.status = static_cast<ApprovalStatus>(value);
        EXPECT_FALSE(oi::NewMeasurementProposal(record, kProject, "c", "p", responsecode).has_value());
        EXPECT_EQ(responsecode, 17);
    }
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetMeasurementProposals>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::NewMeasurementProposal>(), 0);
}

TEST_F(Measurements, ListAnswersConvertInOrderOrNotAtAll) {
    auto total = [](std::u16string_view id) {
        auto t = gcnew<api::MeasurementItemFileTotal>();
        t->id = S(id);
        return t;
    };
    using Totals = Handle<List<Handle<api::MeasurementItemFileTotal>>>;
    struct Case {
        const char* name;
        MeasurementList proposals;
        Totals totals;
        std::vector<std::string> ids; // empty: the fallback
    };
    const Case cases[] = {
        {"two in order",
         listOf<Handle<api::Measurement>>({measurement(u"b"), measurement(u"a")}),
         listOf<Handle<api::MeasurementItemFileTotal>>({total(u"b"), total(u"a")}),
         {"b", "a"}},
        {"null list", nullptr, nullptr, {}},
        {"null element",
         listOf<Handle<api::Measurement>>({measurement(u"a"), nullptr}),
         listOf<Handle<api::MeasurementItemFileTotal>>({total(u"a"), nullptr}),
         {}},
        {"element without item",
         listOf<Handle<api::Measurement>>({measurement(u"a"), withoutItem(), measurement(u"c")}),
         nullptr,
         {}},
        {"status without native name",
         listOf<Handle<api::Measurement>>({measurement(u"a", static_cast<api::ApprovalStatus>(3))}),
         nullptr,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto proposals = Sandbox::script<&VeskoIntegration::GetMeasurementProposals>(
            [&](Handle<String>, Handle<List<api::ApprovalStatus>>, int& code) {
                code = 200;
                return c.proposals;
            });
        auto totals = Sandbox::script<&VeskoIntegration::GetMeasurementItemsFileTotal>([&](Handle<String>, int& code) {
            code = 200;
            return c.totals;
        });
        int responsecode = 0;
        EXPECT_EQ(idsOf(oi::GetMeasurementProposals(kProject, {}, responsecode)), c.ids);
        EXPECT_EQ(responsecode, 200);
        std::vector<std::string> totalIds;
        for (const auto& t : oi::GetMeasurementItemsFileTotal(kProject, responsecode)) totalIds.push_back(t.id);
        EXPECT_EQ(totalIds, c.ids);
    }
}

TEST_F(Measurements, SingleAnswersAreTheServicesRecordOrNoValue) {
    MeasurementProposal sent;
    sent.description = "as sent";
    sent.quantity = 3.5;
    struct Case {
        const char* name;
        Handle<api::Measurement> answer;
        bool hasValue;
    };
    auto stored = measurement(u"msr-1", api::ApprovalStatus::Proposed);
    stored->Description = S(u"as stored");
    const Case cases[] = {{"stored", stored, true}, {"null", nullptr, false}, {"no item", withoutItem(), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Handle<api::Measurement> received;
        std::vector<std::u16string> ids;
        auto byId = Sandbox::script<&VeskoIntegration::GetMeasurementProposalByID>(
            [&](Handle<String> p, Handle<String> k, Handle<String> s, Handle<String> m, int&) {
                ids = {T(p), T(k), T(s), T(m)};
                return c.answer;
            });
        auto create = Sandbox::script<&VeskoIntegration::NewMeasurementProposal>(
            [&](Handle<api::Measurement> m, Handle<String> p, Handle<String> k, Handle<String> s, int&) {
                received = m;
                ids = {T(p), T(k), T(s)};
                return c.answer;
            });
        int responsecode = 0;
        const auto found = oi::GetMeasurementProposalById(kProject, "con", "pst", "msr-1", responsecode);
        EXPECT_EQ(ids, (std::vector<std::u16string>{u"prj-fjordbridge", u"con", u"pst", u"msr-1"}));
        const auto created = oi::NewMeasurementProposal(sent, kProject, "con", "pst", responsecode);
        EXPECT_EQ(ids, (std::vector<std::u16string>{u"prj-fjordbridge", u"con", u"pst"}));
        ASSERT_TRUE(received != nullptr);
        EXPECT_EQ(T(received->Description), u"as sent");
        EXPECT_EQ(received->Type, static_cast<api::MeasurementType>(3));

        EXPECT_EQ(found.has_value(), c.hasValue);
        ASSERT_EQ(created.has_value(), c.hasValue);
        if (c.hasValue) {
            EXPECT_EQ(found->description, "as stored");
            EXPECT_EQ(created->description, "as stored"); // the service's answer, not the host's record
            EXPECT_EQ(created->status, ApprovalStatus::Proposed);
        }
    }
}

TEST_F(Measurements, CompletionBoolsReportThatTheCallReturned) {
    const std::function<void(int&)> behaviours[] = {[](int& code) { code = 200; }, [](int& code) { code = 500; }};
    for (const auto& behave : behaviours) {
        std::vector<std::u16string> seen;
        auto del = Sandbox::script<&VeskoIntegration::DeleteMeasurementProposal>(
            [&](Handle<String> p, Handle<String> k, Handle<String> s, Handle<String> m, int& code) {
                seen = {T(p), T(k), T(s), T(m)};
                behave(code);
            });
        auto all = Sandbox::script<&VeskoIntegration::DeleteAllMeasurementsForFileId>(
            [&](Handle<String> p, Handle<String> f, Handle<String> i, int& code) {
                seen.insert(seen.end(), {T(p), T(f), T(i)});
                behave(code);
            });
        auto attach = Sandbox::script<&VeskoIntegration::NewMeasurementProposalAttachment>(
            [&](Handle<api::Attachment> a, Handle<String> p, Handle<String> k, Handle<String> s, Handle<String> m,
                int& code) {
                seen.insert(seen.end(), {T(a->DisplayName), T(p), T(k), T(s), T(m)});
                behave(code);
            });
        int responsecode = 0;
        EXPECT_TRUE(oi::DeleteMeasurementProposal(kProject, "con", "pst", "msr", responsecode));
        EXPECT_TRUE(oi::DeleteAllMeasurementsForFileId(kProject, "file", "internal", responsecode));
        MeasurementAttachment attachment;
        attachment.displayName = "photo";
        EXPECT_TRUE(oi::NewMeasurementProposalAttachment(attachment, kProject, "con", "pst", "msr", responsecode));
        int expectedCode = 0;
        behave(expectedCode);
        EXPECT_EQ(responsecode, expectedCode);
        EXPECT_EQ(seen,
                  (std::vector<std::u16string>{u"prj-fjordbridge", u"con", u"pst", u"msr", u"prj-fjordbridge", u"file",
                                               u"internal", u"photo", u"prj-fjordbridge", u"con", u"pst", u"msr"}));
    }
}

TEST_F(Measurements, ADefaultCommentReachesTheServiceEmptyAtTheEpochInUtc) {
    Handle<api::Comment> received;
    std::vector<std::u16string> seen;
    auto guard = Sandbox::script<&VeskoIntegration::NewMeasurementProposalComment>(
        [&](Handle<api::Comment> c, Handle<String> p, Handle<String> s, Handle<String> m, int& code) {
            received = c;
            seen = {T(p), T(s), T(m)};
            code = 201;
        });
    int responsecode = 0;
    oi::CreateMeasurementProposalComment(MeasurementComment{}, kProject, "pst", "msr", responsecode);
    ASSERT_TRUE(received != nullptr);
    EXPECT_EQ(T(received->Text), u"");
    EXPECT_EQ(T(received->Author), u"");
    EXPECT_EQ(received->DateCreated, System::DateTime(1970, 1, 1, 0, 0, 0, System::DateTimeKind::Utc));
    EXPECT_EQ(received->DateCreated.Kind(), System::DateTimeKind::Utc);
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"prj-fjordbridge", u"pst", u"msr"}));
    EXPECT_EQ(responsecode, 201);
}

TEST_F(Measurements, AddressesAreTheServicesTextOrEmpty) {
    for (const auto& answer : {Handle<String>(), S(u""), S(u"https://files/a.jpg")}) {
        auto save = Sandbox::script<&VeskoIntegration::SaveAttachment>(
            [&](Handle<String>, Handle<String>, int&) { return answer; });
        auto url = Sandbox::script<&VeskoIntegration::GetTemporaryUrl>([&](Handle<String>, int&) { return answer; });
        const std::string expected = answer == nullptr ? "" : std::string(answer->View().begin(), answer->View().end());
        int responsecode = 0;
        EXPECT_EQ(oi::SaveAttachment("a.jpg", kProject, responsecode), expected);
        EXPECT_EQ(oi::GetTemporaryUrl("https://files/a.jpg", responsecode), expected);
    }
}

TEST_F(Measurements, EveryFunctionGivesItsFallbackWhenTheServiceRaises) {
    for (const auto& raise : kRaises) {
        const int invalidations = Sandbox::callCount<&VeskoIntegration::InvalidateMeasurementProposalsCache>();
        const auto raising = [&](int& code) {
            code = 503;
            raise();
        };
        auto g1 = Sandbox::script<&VeskoIntegration::GetMeasurementProposals>(
            [&](Handle<String>, Handle<List<api::ApprovalStatus>>, int& code) {
                raising(code);
                return listOf<Handle<api::Measurement>>({measurement(u"a")});
            });
        auto g2 = Sandbox::script<&VeskoIntegration::GetMeasurementProposalByID>(
            [&](Handle<String>, Handle<String>, Handle<String>, Handle<String>, int& code) {
                raising(code);
                return measurement(u"a");
            });
        auto g3 = Sandbox::script<&VeskoIntegration::NewMeasurementProposal>(
            [&](Handle<api::Measurement> m, Handle<String>, Handle<String>, Handle<String>, int& code) {
                raising(code);
                return m;
            });
        auto g4 = Sandbox::script<&VeskoIntegration::DeleteMeasurementProposal>(
            [&](Handle<String>, Handle<String>, Handle<String>, Handle<String>, int& code) { raising(code); });
        auto g5 = Sandbox::script<&VeskoIntegration::DeleteAllMeasurementsForFileId>(
            [&](Handle<String>, Handle<String>, Handle<String>, int& code) { raising(code); });
        auto g6 = Sandbox::script<&VeskoIntegration::NewMeasurementProposalComment>(
            [&](Handle<api::Comment>, Handle<String>, Handle<String>, Handle<String>, int& code) { raising(code); });
        auto g7 = Sandbox::script<&VeskoIntegration::NewMeasurementProposalAttachment>(
            [&](Handle<api::Attachment>, Handle<String>, Handle<String>, Handle<String>, Handle<String>, int& code) {
                raising(code);
            });
        auto g8 = Sandbox::script<&VeskoIntegration::SaveAttachment>([&](Handle<String>, Handle<String>, int& code) {
            raising(code);
            return S(u"x");
        });
        auto g9 = Sandbox::script<&VeskoIntegration::GetTemporaryUrl>([&](Handle<String>, int& code) {
            raising(code);
            return S(u"x");
        });
        auto g10 = Sandbox::script<&VeskoIntegration::ShowMeasurementProposals>(
            [&](Handle<String>, Handle<String>, Handle<String>, bool, int& code) { raising(code); });
        auto g11 = Sandbox::script<&VeskoIntegration::InvalidateMeasurementProposalsCache>([&] { raise(); });
        auto g12 = Sandbox::script<&VeskoIntegration::GetMeasurementItemsFileTotal>([&](Handle<String>, int& code) {
            raising(code);
            return listOf<Handle<api::MeasurementItemFileTotal>>({gcnew<api::MeasurementItemFileTotal>()});
        });

        int responsecode = 0;
        EXPECT_TRUE(oi::GetMeasurementProposals(kProject, {}, responsecode).empty());
        EXPECT_EQ(responsecode, 503); // what the service left behind stays
        EXPECT_FALSE(oi::GetMeasurementProposalById(kProject, "c", "p", "m", responsecode).has_value());
        EXPECT_FALSE(oi::NewMeasurementProposal({}, kProject, "c", "p", responsecode).has_value());
        EXPECT_FALSE(oi::DeleteMeasurementProposal(kProject, "c", "p", "m", responsecode));
        EXPECT_FALSE(oi::DeleteAllMeasurementsForFileId(kProject, "f", "i", responsecode));
        oi::CreateMeasurementProposalComment({}, kProject, "p", "m", responsecode);
        EXPECT_FALSE(oi::NewMeasurementProposalAttachment({}, kProject, "c", "p", "m", responsecode));
        EXPECT_EQ(oi::SaveAttachment("a.jpg", kProject, responsecode), "");
        EXPECT_EQ(oi::GetTemporaryUrl("u", responsecode), "");
        oi::ShowMeasurementProposals(kProject, "c", "p", true, responsecode);
        oi::InvalidateMeasurementProposalsCache();
        EXPECT_TRUE(oi::GetMeasurementItemsFileTotal(kProject, responsecode).empty());
        EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::InvalidateMeasurementProposalsCache>(), invalidations + 1);
    }
}

TEST_F(Measurements, ShowPassesApprovedAndItsPlace) {
    std::vector<std::u16string> seen;
    bool approvedSeen = false;
    auto guard = Sandbox::script<&VeskoIntegration::ShowMeasurementProposals>(
        [&](Handle<String> p, Handle<String> k, Handle<String> s, bool approved, int& code) {
            seen = {T(p), T(k), T(s)};
            approvedSeen = approved;
            code = 204;
        });
    int responsecode = 0;
    oi::ShowMeasurementProposals(kProject, "con", "pst", true, responsecode);
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"prj-fjordbridge", u"con", u"pst"}));
    EXPECT_TRUE(approvedSeen);
    EXPECT_EQ(responsecode, 204);
}

TEST_F(Measurements, DetailsOutParametersOnEveryPath) {
    using Status = api::ApprovalStatus;
    struct Case {
        const char* name;
        std::function<void(bool&, bool&, Status&)> service;
        bool comments, attachments;
        ApprovalStatus status;
    };
    const Case cases[] = {
        {"answers", [](bool& c, bool& a, Status& s) { c = false, a = true, s = Status::QualityAssured; }, false, true,
         ApprovalStatus::QualityAssured},
        // The host's bools stay as they were; the status preset before the call has no name.
        {"raises before writing", [](bool&, bool&, Status&) { throw System::Exception(); }, true, true,
         ApprovalStatus::NA},
        {"raises after writing",
         [](bool& c, bool&, Status& s) {
             c = false, s = Status::Invoiced;
             throw 42;
         },
         false, true, ApprovalStatus::Invoiced},
        // Regression: a status without a native name must not escape to the host.
        {"status without native name", [](bool&, bool&, Status& s) { s = static_cast<Status>(7); }, true, true,
         ApprovalStatus::NA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int presetSeen = -1;
        std::vector<std::u16string> ids;
        auto guard = Sandbox::script<&VeskoIntegration::GetMeasurementProposalDetails>(
            [&](Handle<String> p, Handle<String> m, bool& comments, bool& attachments, Status& status, int& code) {
                ids = {T(p), T(m)};
                presetSeen = static_cast<int>(status);
                code = 200;
                c.service(comments, attachments, status);
            });
        bool comments = true, attachments = true;
        auto status = ApprovalStatus::Proposed;
        int responsecode = 0;
        oi::GetMeasurementProposalDetails(kProject, "msr-1", comments, attachments, status, responsecode);
        EXPECT_EQ(presetSeen, 0);
        EXPECT_EQ(ids, (std::vector<std::u16string>{u"prj-fjordbridge", u"msr-1"}));
        EXPECT_EQ(comments, c.comments);
        EXPECT_EQ(attachments, c.attachments);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(responsecode, 200);
    }
}

TEST_F(Measurements, AgainstTheSandbox) {
    int responsecode = 0;
    MeasurementProposal record;
    record.clientProvidedId = "kerb-12";
    record.connectedFileId = "file-a";
    record.quantity = 4.5;
    record.status = ApprovalStatus::Proposed;
    record.chainage = {{{0, 1.0}, {20, 3.5}}, 20};
    const auto first = oi::NewMeasurementProposal(record, kProject, "con-1", "post-1", responsecode);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(responsecode, 201);
    EXPECT_FALSE(first->id.empty());
    EXPECT_EQ(first->postId, "post-1");
    EXPECT_EQ(first->creator, "ada");
    EXPECT_EQ(first->chainage.masses.size(), 2u);
    record.status = ApprovalStatus::QualityAssured;
    const auto second = oi::NewMeasurementProposal(record, kProject, "con-1", "post-1", responsecode);
    ASSERT_TRUE(second.has_value());
    record.status = ApprovalStatus::Invoiced;
    const auto third = oi::NewMeasurementProposal(record, kProject, "con-1", "post-2", responsecode);
    ASSERT_TRUE(third.has_value());

    EXPECT_EQ(idsOf(oi::GetMeasurementProposals(kProject, {}, responsecode)),
              (std::vector<std::string>{first->id, second->id, third->id}));
    EXPECT_EQ(responsecode, 200);
    EXPECT_EQ(idsOf(oi::GetMeasurementProposals(kProject, {ApprovalStatus::Invoiced, ApprovalStatus::Proposed},
                                                responsecode)),
              (std::vector<std::string>{first->id, third->id}));
    EXPECT_TRUE(oi::GetMeasurementProposals("prj-ringroad", {}, responsecode).empty());

    oi::CreateMeasurementProposalComment({"kerb checked", {}, ""}, kProject, "post-1", second->id, responsecode);
    EXPECT_EQ(responsecode, 201);
    const auto address = oi::SaveAttachment("C:\\photos\\kerb.jpg", kProject, responsecode);
    EXPECT_EQ(address, "https://files.sandbox.invalid/prj-fjordbridge/kerb.jpg");
    const auto temporary = oi::GetTemporaryUrl(address, responsecode);
    EXPECT_EQ(temporary.rfind(address + "?", 0), 0u);
    EXPECT_EQ(responsecode, 200);
    MeasurementAttachment attachment;
    attachment.uri = address;
    attachment.displayName = "kerb.jpg";
    EXPECT_TRUE(
        oi::NewMeasurementProposalAttachment(attachment, kProject, "con-1", "post-1", second->id, responsecode));
    EXPECT_EQ(responsecode, 201);

    bool comments = false, attachments = false;
    auto status = ApprovalStatus::NA;
    oi::GetMeasurementProposalDetails(kProject, second->id, comments, attachments, status, responsecode);
    EXPECT_TRUE(comments);
    EXPECT_TRUE(attachments);
    EXPECT_EQ(status, ApprovalStatus::QualityAssured);
    oi::GetMeasurementProposalDetails(kProject, first->id, comments, attachments, status, responsecode);
    EXPECT_FALSE(comments);
    EXPECT_FALSE(attachments);
    EXPECT_EQ(status, ApprovalStatus::Proposed);

    const auto read = oi::GetMeasurementProposalById(kProject, "con-1", "post-1", second->id, responsecode);
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->comments.size(), 1u);
    EXPECT_EQ(read->comments[0].text, "kerb checked");
    EXPECT_EQ(read->comments[0].author, "ada");
    ASSERT_EQ(read->attachments.size(), 1u);
    EXPECT_EQ(read->attachments[0].uri, address);
    EXPECT_FALSE(read->attachments[0].id.empty());

    EXPECT_TRUE(oi::DeleteMeasurementProposal(kProject, "con-1", "post-1", second->id, responsecode));
    EXPECT_EQ(responsecode, 204);
    EXPECT_FALSE(oi::GetMeasurementProposalById(kProject, "con-1", "post-1", second->id, responsecode).has_value());
    EXPECT_EQ(responsecode, 404);
    EXPECT_TRUE(oi::DeleteMeasurementProposal(kProject, "con-1", "post-1", second->id, responsecode));
    EXPECT_EQ(responsecode, 404); // completion, not success: the code tells the difference

    EXPECT_TRUE(oi::DeleteAllMeasurementsForFileId(kProject, "file-a", "", responsecode));
    EXPECT_TRUE(oi::GetMeasurementProposals(kProject, {}, responsecode).empty());

    ASSERT_TRUE(oi::Logout());
    EXPECT_TRUE(oi::GetMeasurementProposals(kProject, {}, responsecode).empty());
    EXPECT_EQ(responsecode, 401);
}

// Guards the sandbox's copies: what the service answers must not reach into what it keeps.
TEST_F(Measurements, SandboxAnswersAreCopies) {
    int responsecode = 0;
    MeasurementProposal record;
    record.comments = {{"original", {}, "ada"}};
    const auto created = oi::NewMeasurementProposal(record, kProject, "con-1", "post-1", responsecode);
    ASSERT_TRUE(created.has_value());

    auto answer = VeskoIntegration::GetMeasurementProposals(S(u"prj-fjordbridge"), nullptr, responsecode);
    ASSERT_EQ(answer->Count(), 1);
    (*answer)[0]->Description = S(u"changed");
    (*(*answer)[0]->Comments)[0]->Text = S(u"changed");
    (*answer)[0]->Comments->Add(gcnew<api::Comment>());
    (*answer)[0]->Item->Name = S(u"changed");

    const auto again = oi::GetMeasurementProposalById(kProject, "con-1", "post-1", created->id, responsecode);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->description, "");
    EXPECT_EQ(again->name, "");
    ASSERT_EQ(again->comments.size(), 1u);
    EXPECT_EQ(again->comments[0].text, "original");
}
