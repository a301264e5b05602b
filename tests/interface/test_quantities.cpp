// Quantity functions, driven as a host drives them.
#include "support/service.h"

#include <functional>
#include <string>
#include <vector>

namespace oi = OrvaneModuleIntegration;
using namespace test;

namespace {

constexpr const char* kProject = "prj-ringroad";

using MeasurementList = Handle<List<Handle<api::Measurement>>>;
using HistoryList = Handle<List<Handle<api::HistoricalQuantity>>>;

Handle<api::Measurement> measurement(std::u16string_view id) {
    auto m = gcnew<api::Measurement>();
    m->Id = S(id);
    m->Status = api::ApprovalStatus::NA;
    m->Item = gcnew<api::MeasurementItemShort>();
    return m;
}

Handle<api::HistoricalQuantity> recorded(Handle<String> id, double quantity) {
    auto h = gcnew<api::HistoricalQuantity>();
    h->Id = std::move(id);
    h->Quantity = quantity;
    h->DateCreated = System::DateTime(2026, 3, 2, 8, 0, 0, System::DateTimeKind::Utc);
    return h;
}

template <class Record>
std::vector<std::string> idsOf(const std::vector<Record>& records) {
    std::vector<std::string> ids;
    for (const auto& r : records) ids.push_back(r.id);
    return ids;
}

const std::function<void()> kRaises[] = {[] { throw System::ArgumentException(u"bad"); }, [] { throw 42; }};

using RecordingBehaviour = std::function<Handle<api::Measurement>(Handle<String>, Handle<String>, Handle<String>,
                                                                  Handle<api::Measurement>, int&)>;

template <auto Op>
auto scriptRecording(RecordingBehaviour behaviour) {
    return Sandbox::script<Op>(std::move(behaviour));
}

class Quantities : public HostTest {};

// Runs `check` once for each recording operation, with its exported function and a way to script it.
template <class Check>
void forEachRecording(Check&& check) {
    check("estimated", &oi::NewEstimatedQuantity, [](auto behaviour) {
        return scriptRecording<&VeskoIntegration::NewEstimatedQuantity>(std::move(behaviour));
    });
    check("actual", &oi::NewActualQuantity,
          [](auto behaviour) { return scriptRecording<&VeskoIntegration::NewActualQuantity>(std::move(behaviour)); });
}

} // namespace

TEST_F(Quantities, RecordingsHandTheRecordOverAfterTheThreeIds) {
    forEachRecording([](const char* name, auto exported, auto script) {
        SCOPED_TRACE(name);
        std::vector<std::u16string> ids;
        Handle<api::Measurement> received;
        auto stored = measurement(u"q-1");
        stored->Description = S(u"as stored");
        const auto guard =
            script([&](Handle<String> p, Handle<String> k, Handle<String> s, Handle<api::Measurement> m, int& code) {
                ids = {T(p), T(k), T(s)};
                received = m;
                code = 201;
                return stored;
            });
        MeasurementProposal record;
        record.description = "as sent";
        record.chainage.resolution = 7; // no stations: nothing to send
        int responsecode = 0;
        const auto answer = exported(record, kProject, "con", "pst", responsecode);
        EXPECT_EQ(ids, (std::vector<std::u16string>{u"prj-ringroad", u"con", u"pst"}));
        ASSERT_TRUE(received != nullptr);
        EXPECT_EQ(T(received->Description), u"as sent");
        EXPECT_EQ(received->Type, static_cast<api::MeasurementType>(3));
        EXPECT_TRUE(received->Chainage == nullptr);
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->description, "as stored"); // the service's record, not the host's
        EXPECT_EQ(responsecode, 201);
    });
}

TEST_F(Quantities, RecordingsGiveNoValueForAMissingOrFailedAnswer) {
    forEachRecording([](const char* name, auto exported, auto script) {
        auto withoutItem = measurement(u"q-1");
        withoutItem->Item = nullptr;
        const std::function<Handle<api::Measurement>()> answers[] = {
            [] { return Handle<api::Measurement>(); },
            [&] { return withoutItem; },
            []() -> Handle<api::Measurement> { throw System::InvalidOperationException(u"down"); },
            []() -> Handle<api::Measurement> { throw 42; },
        };
        for (const auto& answer : answers) {
            SCOPED_TRACE(name);
            const auto guard =
                script([&](Handle<String>, Handle<String>, Handle<String>, Handle<api::Measurement>, int& code) {
                    code = 500;
                    return answer();
                });
            int responsecode = 0;
            EXPECT_FALSE(exported(MeasurementProposal{}, kProject, "c", "p", responsecode).has_value());
            EXPECT_EQ(responsecode, 500);
        }
        // A status without a name fails before the service is reached.
        MeasurementProposal record;
        record.status = static_cast<ApprovalStatus>(9);
        int responsecode = 3;
        const auto guard =
            script([](Handle<String>, Handle<String>, Handle<String>, Handle<api::Measurement> m, int&) { return m; });
        EXPECT_FALSE(exported(record, kProject, "c", "p", responsecode).has_value());
        EXPECT_EQ(responsecode, 3);
    });
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::NewEstimatedQuantity>(), 4);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::NewActualQuantity>(), 4);
}

TEST_F(Quantities, ListAnswersConvertInOrderOrNotAtAll) {
    auto withoutItem = measurement(u"x");
    withoutItem->Item = nullptr;
    struct Case {
        const char* name;
        MeasurementList quantities;
        HistoryList history;
        std::vector<std::string> ids; // empty: the fallback
    };
    const Case cases[] = {
        {"in order",
         listOf<Handle<api::Measurement>>({measurement(u"b"), measurement(u"a")}),
         listOf<Handle<api::HistoricalQuantity>>({recorded(S(u"b"), 1), recorded(S(u"a"), 2)}),
         {"b", "a"}},
        {"null list", nullptr, nullptr, {}},
        {"null element",
         listOf<Handle<api::Measurement>>({measurement(u"a"), nullptr}),
         listOf<Handle<api::HistoricalQuantity>>({recorded(S(u"a"), 1), nullptr}),
         {}},
        {"element without item", listOf<Handle<api::Measurement>>({measurement(u"a"), withoutItem}), nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto estimated = Sandbox::script<&VeskoIntegration::GetEstimatedQuantities>([&](Handle<String>, int& code) {
            code = 200;
            return c.quantities;
        });
        auto actual = Sandbox::script<&VeskoIntegration::GetActualQuantities>([&](Handle<String>, int& code) {
            code = 200;
            return c.quantities;
        });
        std::vector<std::u16string> ids;
        auto history = Sandbox::script<&VeskoIntegration::GetActualHistoricalQuantities>(
            [&](Handle<String> p, Handle<String> k, Handle<String> s, Handle<String> f, int& code) {
                ids = {T(p), T(k), T(s), T(f)};
                code = 200;
                return c.history;
            });
        int responsecode = 0;
        EXPECT_EQ(idsOf(oi::GetEstimatedQuantities(kProject, responsecode)), c.ids);
        EXPECT_EQ(idsOf(oi::GetActualQuantities(kProject, responsecode)), c.ids);
        EXPECT_EQ(idsOf(oi::GetActualHistoricalQuantities(kProject, "con", "pst", "file", responsecode)), c.ids);
        EXPECT_EQ(ids, (std::vector<std::u16string>{u"prj-ringroad", u"con", u"pst", u"file"}));
        EXPECT_EQ(responsecode, 200);
    }
}

TEST_F(Quantities, AHistoricalQuantityWithoutIdComesBackWithAnEmptyId) {
    auto guard = Sandbox::script<&VeskoIntegration::GetActualHistoricalQuantities>(
        [](Handle<String>, Handle<String>, Handle<String>, Handle<String>, int&) {
            return listOf<Handle<api::HistoricalQuantity>>({recorded(nullptr, 2.5)});
        });
    int responsecode = 0;
    const auto history = oi::GetActualHistoricalQuantities(kProject, "c", "p", "f", responsecode);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].id, "");
    EXPECT_EQ(history[0].quantity, 2.5);
}

TEST_F(Quantities, DeletionsReturnNormallyAndLeaveTheServicesCode) {
    for (const auto& raise : kRaises) {
        std::vector<std::u16string> seen;
        auto estimated = Sandbox::script<&VeskoIntegration::DeleteEstimatedQuantities>(
            [&](Handle<String> p, Handle<String> f, int& code) {
                seen = {T(p), T(f)};
                code = 404;
            });
        auto actual = Sandbox::script<&VeskoIntegration::DeleteActualQuantities>(
            [&](Handle<String> p, Handle<String> f, int& code) {
                seen.insert(seen.end(), {T(p), T(f)});
                code = 409;
                raise();
            });
        auto historical = Sandbox::script<&VeskoIntegration::DeleteActualHistoricalQuantity>(
            [&](Handle<String> p, Handle<String> k, Handle<String> s, Handle<String> h, int& code) {
                seen.insert(seen.end(), {T(p), T(k), T(s), T(h)});
                code = 503;
                raise();
            });
        int responsecode = 0;
        oi::DeleteEstimatedQuantities(kProject, "file-e", responsecode);
        EXPECT_EQ(responsecode, 404);
        oi::DeleteActualQuantities(kProject, "file-a", responsecode);
        EXPECT_EQ(responsecode, 409);
        oi::DeleteActualHistoricalQuantity(kProject, "con", "pst", "hq-1", responsecode);
        EXPECT_EQ(responsecode, 503);
        EXPECT_EQ(seen, (std::vector<std::u16string>{u"prj-ringroad", u"file-e", u"prj-ringroad", u"file-a",
                                                     u"prj-ringroad", u"con", u"pst", u"hq-1"}));
    }
}

TEST_F(Quantities, ReadsGiveEmptyVectorsWhenTheServiceRaises) {
    for (const auto& raise : kRaises) {
        auto estimated = Sandbox::script<&VeskoIntegration::GetEstimatedQuantities>([&](Handle<String>, int&) {
            raise();
            return listOf<Handle<api::Measurement>>({measurement(u"a")});
        });
        auto actual = Sandbox::script<&VeskoIntegration::GetActualQuantities>([&](Handle<String>, int&) {
            raise();
            return listOf<Handle<api::Measurement>>({measurement(u"a")});
        });
        auto history = Sandbox::script<&VeskoIntegration::GetActualHistoricalQuantities>(
            [&](Handle<String>, Handle<String>, Handle<String>, Handle<String>, int&) {
                raise();
                return listOf<Handle<api::HistoricalQuantity>>({recorded(S(u"a"), 1)});
            });
        int responsecode = 0;
        EXPECT_TRUE(oi::GetEstimatedQuantities(kProject, responsecode).empty());
        EXPECT_TRUE(oi::GetActualQuantities(kProject, responsecode).empty());
        EXPECT_TRUE(oi::GetActualHistoricalQuantities(kProject, "c", "p", "f", responsecode).empty());
    }
}

TEST_F(Quantities, AgainstTheSandbox) {
    int responsecode = 0;
    MeasurementProposal kerb;
    kerb.clientProvidedId = "kerb-1";
    kerb.connectedFileId = "file-a";
    kerb.quantity = 10.0;
    const auto estimate = oi::NewEstimatedQuantity(kerb, kProject, "con-1", "post-1", responsecode);
    ASSERT_TRUE(estimate.has_value());
    EXPECT_EQ(responsecode, 201);
    EXPECT_EQ(estimate->postId, "post-1");
    EXPECT_EQ(idsOf(oi::GetEstimatedQuantities(kProject, responsecode)), std::vector<std::string>{estimate->id});

    // The same item measured twice: one current quantity, two entries of history.
    kerb.quantity = 4.0;
    ASSERT_TRUE(oi::NewActualQuantity(kerb, kProject, "con-1", "post-1", responsecode).has_value());
    kerb.quantity = 6.0;
    const auto latest = oi::NewActualQuantity(kerb, kProject, "con-1", "post-1", responsecode);
    ASSERT_TRUE(latest.has_value());
    MeasurementProposal gully = kerb;
    gully.clientProvidedId = "gully-2";
    gully.quantity = 1.5;
    ASSERT_TRUE(oi::NewActualQuantity(gully, kProject, "con-1", "post-1", responsecode).has_value());

    const auto actual = oi::GetActualQuantities(kProject, responsecode);
    ASSERT_EQ(actual.size(), 2u);
    EXPECT_EQ(actual[0].id, latest->id);
    EXPECT_EQ(actual[0].quantity, 6.0);

    auto history = oi::GetActualHistoricalQuantities(kProject, "con-1", "post-1", "file-a", responsecode);
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].quantity, 4.0);
    EXPECT_EQ(history[1].quantity, 6.0);
    EXPECT_LT(history[0].dateCreated, history[1].dateCreated);
    EXPECT_TRUE(oi::GetActualHistoricalQuantities(kProject, "con-1", "post-2", "file-a", responsecode).empty());

    const auto totals = oi::GetMeasurementItemsFileTotal(kProject, responsecode);
    ASSERT_EQ(totals.size(), 1u);
    EXPECT_EQ(totals[0].connectedFileId, "file-a");
    EXPECT_EQ(totals[0].postId, "post-1");
    EXPECT_EQ(totals[0].contractId, "con-1");
    EXPECT_EQ(totals[0].accumulatedQuantity, 7.5);

    oi::DeleteActualHistoricalQuantity(kProject, "con-1", "post-1", history[0].id, responsecode);
    EXPECT_EQ(responsecode, 204);
    oi::DeleteActualHistoricalQuantity(kProject, "con-1", "post-1", history[0].id, responsecode);
    EXPECT_EQ(responsecode, 404);
    EXPECT_EQ(oi::GetActualHistoricalQuantities(kProject, "con-1", "post-1", "file-a", responsecode).size(), 2u);

    oi::DeleteEstimatedQuantities(kProject, "file-a", responsecode);
    EXPECT_EQ(responsecode, 204);
    EXPECT_TRUE(oi::GetEstimatedQuantities(kProject, responsecode).empty());
    oi::DeleteActualQuantities(kProject, "file-a", responsecode);
    EXPECT_TRUE(oi::GetActualQuantities(kProject, responsecode).empty());
    EXPECT_TRUE(oi::GetActualHistoricalQuantities(kProject, "con-1", "post-1", "file-a", responsecode).empty());

    // A quantity belongs to a file; without one the service refuses it.
    kerb.connectedFileId.clear();
    EXPECT_FALSE(oi::NewActualQuantity(kerb, kProject, "con-1", "post-1", responsecode).has_value());
    EXPECT_EQ(responsecode, 400);
    EXPECT_TRUE(oi::GetActualQuantities("prj-unknown", responsecode).empty());
    EXPECT_EQ(responsecode, 404);
}
