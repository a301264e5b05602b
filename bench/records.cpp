// Records: whole answers converted by the exported functions, beside a deep copy of the same native
// vector (`auto copy = source;`), the least a host pays to own such an answer.
// Names: records/<function>/<count>/<bridge|copy>.
#include "data.h"

#include <OrvaneModule/Sandbox.h>
#include <OrvaneModule/VeskoIntegration.h>
#include <OrvaneModuleIntegration/OrvaneModuleIntegration.h>
#include <System/String.h>
#include <win32/CodePage.h>

#include <benchmark/benchmark.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace {

using OrvaneModule::VeskoIntegration;
namespace Sandbox = OrvaneModule::Sandbox;
namespace api = OrvaneModule::ApiModels;
namespace models = OrvaneModule::Models;
using bench::Random;
using System::DateTime;
using System::DateTimeKind;
using System::gcnew;
using System::Handle;
using System::String;
using System::Collections::Generic::List;

template <class T>
using ListOf = Handle<List<Handle<T>>>;

// Text of 8 to 40 characters, as ids, names and notes run.
Handle<String> word(Random& random) {
    return gcnew<String>(bench::randomWord(random, 8, 40));
}

DateTime date(Random& random) {
    return DateTime(2020 + static_cast<int>(random.between(0, 5)), static_cast<int>(random.between(1, 12)),
                    static_cast<int>(random.between(1, 28)), static_cast<int>(random.between(0, 23)),
                    static_cast<int>(random.between(0, 59)), static_cast<int>(random.between(0, 59)),
                    DateTimeKind::Utc);
}

// Each with two comments, one attachment and three chainage stations.
ListOf<api::Measurement> measurements(std::size_t count) {
    static constexpr api::ApprovalStatus kStatuses[] = {
        api::ApprovalStatus::NA, api::ApprovalStatus::Proposed, api::ApprovalStatus::QualityAssured,
        api::ApprovalStatus::QualityUndetermined, api::ApprovalStatus::Invoiced};
    Random random(count);
    auto list = gcnew<List<Handle<api::Measurement>>>(static_cast<int>(count));
    for (std::size_t i = 0; i < count; ++i) {
        auto m = gcnew<api::Measurement>();
        m->Id = word(random);
        m->Status = kStatuses[random.next() % 5];
        m->Type = static_cast<api::MeasurementType>(3);
        m->DateCreated = date(random);
        m->Description = word(random);
        m->Item = gcnew<api::MeasurementItemShort>();
        m->Item->ClientProvidedId = word(random);
        m->Item->ConnectedFileId = word(random);
        m->Item->Name = word(random);
        m->Item->FileRevision = static_cast<int>(random.between(1, 9));
        m->Item->etag = word(random);
        m->PostId = word(random);
        m->Quantity = static_cast<double>(random.next() % 100000) / 100.0;
        m->Chainage = gcnew<api::ChainMasses>();
        m->Chainage->Masses = gcnew<List<Handle<api::ChainMass>>>(3);
        for (int s = 0; s < 3; ++s) {
            auto station = gcnew<api::ChainMass>();
            station->Chain = s * 20;
            station->Mass = 1.5 * s;
            m->Chainage->Masses->Add(station);
        }
        m->Chainage->Resolution = 20;
        m->Creator = word(random);
        m->Comments = gcnew<List<Handle<api::Comment>>>(2);
        for (int c = 0; c < 2; ++c) {
            auto comment = gcnew<api::Comment>();
            comment->Text = word(random);
            comment->DateCreated = date(random);
            comment->Author = word(random);
            m->Comments->Add(comment);
        }
        m->Attachments = gcnew<List<Handle<api::Attachment>>>(1);
        auto attachment = gcnew<api::Attachment>();
        attachment->Id = word(random);
        attachment->Uri = word(random);
        attachment->Note = word(random);
        attachment->Chainage = word(random);
        attachment->DisplayName = word(random);
        attachment->OwnerUniqueId = word(random);
        m->Attachments->Add(attachment);
        list->Add(m);
    }
    return list;
}

ListOf<models::ContractPost> contractPosts(std::size_t count) {
    Random random(count + 1);
    auto list = gcnew<List<Handle<models::ContractPost>>>(static_cast<int>(count));
    for (std::size_t i = 0; i < count; ++i) {
        auto p = gcnew<models::ContractPost>();
        p->Id = word(random);
        p->PostNumber = word(random);
        p->Title = word(random);
        p->Unit = word(random);
        p->Visible = random.chance(50);
        p->ContractId = word(random);
        p->ContractType = word(random);
        list->Add(p);
    }
    return list;
}

ListOf<api::Contract> contracts(std::size_t count, std::size_t postsEach) {
    Random random(count * 1000 + postsEach);
    auto list = gcnew<List<Handle<api::Contract>>>(static_cast<int>(count));
    for (std::size_t i = 0; i < count; ++i) {
        auto c = gcnew<api::Contract>();
        c->Id = word(random);
        c->Name = word(random);
        c->Prefix = word(random);
        c->Number = word(random);
        c->Standard = word(random);
        c->Type = word(random);
        c->Status = word(random);
        c->DateCreated = date(random);
        c->DateModified = date(random);
        c->posts = gcnew<List<Handle<api::Post>>>(static_cast<int>(postsEach));
        for (std::size_t k = 0; k < postsEach; ++k) {
            auto p = gcnew<api::Post>();
            p->Id = word(random);
            p->PostNumber = word(random);
            p->Title = word(random);
            p->InternalNote = word(random);
            p->DateCreated = date(random);
            p->DateModified = date(random);
            p->Unit = word(random);
            p->ContractQuantity = static_cast<double>(random.next() % 10000);
            p->AccumulatedQuantity = static_cast<double>(random.next() % 10000);
            c->posts->Add(p);
        }
        if (random.chance(50)) {
            c->RelatedContract = gcnew<api::RelatedContract>();
            c->RelatedContract->Id = word(random);
        }
        list->Add(c);
    }
    return list;
}

// Service answers and their native forms, built once per size and shared by a figure and its reference.
const ListOf<api::Measurement>& measurementAnswer(std::size_t count) {
    static std::map<std::size_t, ListOf<api::Measurement>> cache;
    auto& entry = cache[count];
    if (entry == nullptr) entry = measurements(count);
    return entry;
}

const ListOf<models::ContractPost>& postAnswer(std::size_t count) {
    static std::map<std::size_t, ListOf<models::ContractPost>> cache;
    auto& entry = cache[count];
    if (entry == nullptr) entry = contractPosts(count);
    return entry;
}

const ListOf<api::Contract>& contractAnswer(std::size_t count, std::size_t postsEach) {
    static std::map<std::pair<std::size_t, std::size_t>, ListOf<api::Contract>> cache;
    auto& entry = cache[{count, postsEach}];
    if (entry == nullptr) entry = contracts(count, postsEach);
    return entry;
}

auto scriptMeasurements(std::size_t count) {
    return Sandbox::script<&VeskoIntegration::GetMeasurementProposals>(
        [list = measurementAnswer(count)](Handle<String>, Handle<List<api::ApprovalStatus>>, int& responsecode) {
            responsecode = 200;
            return list;
        });
}

auto scriptPosts(std::size_t count) {
    return Sandbox::script<&VeskoIntegration::GetAllPosts>(
        [list = postAnswer(count)](Handle<String>, bool, int& responsecode) {
            responsecode = 200;
            return list;
        });
}

auto scriptContracts(std::size_t count, std::size_t postsEach) {
    return Sandbox::script<&VeskoIntegration::GetPostsMeta>(
        [list = contractAnswer(count, postsEach)](Handle<String>, int& responsecode) {
            responsecode = 200;
            return list;
        });
}

const std::string kProjectId = "project-0001";

std::vector<MeasurementProposal> callMeasurements() {
    int responsecode = 0;
    return OrvaneModuleIntegration::GetMeasurementProposals(kProjectId, {}, responsecode);
}

std::vector<ContractPost> callPosts() {
    int responsecode = 0;
    return OrvaneModuleIntegration::GetAllPosts(kProjectId, false, responsecode);
}

std::vector<Contract> callContracts() {
    int responsecode = 0;
    return OrvaneModuleIntegration::GetPostsMeta(kProjectId, responsecode);
}

// Runs `call` under `script` and checks that every record arrived.
template <class Script, class Call>
void bridge(benchmark::State& state, Script makeScript, Call call, std::size_t records) {
    const auto guard = makeScript();
    const unsigned previous = win32::SetThreadAnsiCodePage(1252);
    for (auto _ : state) {
        auto answer = call();
        if (answer.size() != records) state.SkipWithError("the bridge returned its fallback");
        benchmark::DoNotOptimize(answer.data());
    }
    win32::SetThreadAnsiCodePage(previous);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
}

// The native answer, converted once, then deep-copied.
template <class Script, class Call>
void copy(benchmark::State& state, Script makeScript, Call call, std::size_t records) {
    const unsigned previous = win32::SetThreadAnsiCodePage(1252);
    const auto source = [&] {
        const auto guard = makeScript();
        return call();
    }();
    win32::SetThreadAnsiCodePage(previous);
    if (source.size() != records) state.SkipWithError("the bridge returned its fallback");
    for (auto _ : state) {
        auto answer = source;
        benchmark::DoNotOptimize(answer.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
}

const bool registered = [] {
    for (const std::size_t count : {std::size_t{10000}, std::size_t{100000}}) {
        const auto script = [count] { return scriptMeasurements(count); };
        const std::string name = "records/GetMeasurementProposals/" + std::to_string(count);
        benchmark::RegisterBenchmark((name + "/bridge").c_str(), [=](benchmark::State& s) {
            bridge(s, script, callMeasurements, count);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/copy").c_str(), [=](benchmark::State& s) {
            copy(s, script, callMeasurements, count);
        })->Unit(benchmark::kMillisecond);
    }
    {
        constexpr std::size_t count = 10000;
        const auto script = [] { return scriptPosts(count); };
        benchmark::RegisterBenchmark("records/GetAllPosts/10000/bridge", [=](benchmark::State& s) {
            bridge(s, script, callPosts, count);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("records/GetAllPosts/10000/copy", [=](benchmark::State& s) {
            copy(s, script, callPosts, count);
        })->Unit(benchmark::kMillisecond);
    }
    {
        const auto script = [] { return scriptContracts(100, 100); };
        benchmark::RegisterBenchmark("records/GetPostsMeta/100x100/bridge", [=](benchmark::State& s) {
            bridge(s, script, callContracts, 100);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("records/GetPostsMeta/100x100/copy", [=](benchmark::State& s) {
            copy(s, script, callContracts, 100);
        })->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
