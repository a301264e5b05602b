// Eight host threads at once against the sandbox: mixed calls, each thread on its own code page.
// Nothing may be lost or duplicated, and no thread's code page may leak into another's.
#include "support/service.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace oi = OrvaneModuleIntegration;
using namespace test;

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 40;
const std::string kProject = "prj-fjordbridge";

// Each thread writes "ae" in its own page's bytes; a leaked page would read them differently.
struct PageText {
    unsigned codePage;
    std::string ae; // U+00E6 in that page
};
const PageText kPages[] = {{1252, "\xE6"}, {65001, "\xC3\xA6"}, {28591, "\xE6"}, {1257, "\xE6"}};

struct Outcome {
    std::vector<std::string> errors;
    void fail(const std::string& what) { errors.push_back(what); }
};

void hostThread(int index, Outcome& out) {
    const PageText& page = kPages[index % std::size(kPages)];
    CodePageScope scope(page.codePage);
    const std::string me = "worker-" + std::to_string(index);
    const std::string description = "section " + page.ae + " " + me;
    std::vector<std::string> mine; // created by this thread and not deleted

    for (int round = 0; round < kRounds; ++round) {
        int rc = 0;
        MeasurementProposal proposal;
        proposal.status = ApprovalStatus::Proposed;
        proposal.description = description;
        proposal.creator = me;
        proposal.connectedFileId = me + "-file";
        proposal.clientProvidedId = me + "-item-" + std::to_string(round);
        proposal.quantity = round;
        const auto created = oi::NewMeasurementProposal(proposal, kProject, "ctr-fb-main", "pst-fb-002", rc);
        if (!created) {
            out.fail(me + ": create failed with " + std::to_string(rc));
            continue;
        }
        if (created->description != description) out.fail(me + ": description came back as " + created->description);
        mine.push_back(created->id);

        // Every proposal this thread created and kept is listed exactly once.
        const auto listed = oi::GetMeasurementProposals(kProject, {}, rc);
        for (const auto& id : mine) {
            const auto n = std::count_if(listed.begin(), listed.end(), [&](const auto& m) { return m.id == id; });
            if (n != 1) out.fail(me + ": " + id + " listed " + std::to_string(n) + " times");
        }

        if (round % 2 == 1) {
            if (!oi::DeleteMeasurementProposal(kProject, "ctr-fb-main", "pst-fb-002", mine.front(), rc))
                out.fail(me + ": delete failed");
            mine.erase(mine.begin());
        }

        if (!oi::NewActualQuantity(proposal, kProject, "ctr-fb-main", "pst-fb-002", rc))
            out.fail(me + ": actual quantity failed with " + std::to_string(rc));
        if (oi::GetAllPosts(kProject, false, rc).empty()) out.fail(me + ": no posts");
        if (round % 10 == 9) oi::DeleteActualQuantities(kProject, me + "-file", rc);

        if (win32::GetThreadAnsiCodePage() != page.codePage) out.fail(me + ": code page changed under the thread");
    }

    int rc = 0;
    const auto listed = oi::GetMeasurementProposals(kProject, {}, rc);
    const auto kept = std::count_if(listed.begin(), listed.end(), [&](const auto& m) { return m.creator == me; });
    if (kept != static_cast<long>(mine.size()))
        out.fail(me + ": " + std::to_string(kept) + " kept, expected " + std::to_string(mine.size()));
}

class Threads : public HostTest {};

} // namespace

TEST_F(Threads, MixedCallsLoseNothingAndKeepEachThreadsCodePage) {
    std::vector<Outcome> outcomes(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back(hostThread, i, std::ref(outcomes[i]));
    for (auto& t : threads) t.join();

    for (const auto& outcome : outcomes)
        for (const auto& error : outcome.errors) ADD_FAILURE() << error;
    EXPECT_EQ(win32::GetThreadAnsiCodePage(), 1252u) << "the test thread's own page is untouched";
}
