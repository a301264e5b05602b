// Calls: an exported function with a trivial scripted answer beside the same facade operation called
// directly with the same script, which leaves the cost of the bridge itself.
// Names: call/<function>/<bridge|facade>.
#include <OrvaneModule/Sandbox.h>
#include <OrvaneModule/VeskoIntegration.h>
#include <OrvaneModuleIntegration/OrvaneModuleIntegration.h>
#include <System/String.h>
#include <win32/CodePage.h>

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

namespace {

using OrvaneModule::VeskoIntegration;
namespace Sandbox = OrvaneModule::Sandbox;
using System::Handle;
using System::String;

auto scriptLoggedIn() {
    return Sandbox::script<&VeskoIntegration::IsLoggedIn>([] { return true; });
}

void isLoggedInBridge(benchmark::State& state) {
    const auto guard = scriptLoggedIn();
    for (auto _ : state) benchmark::DoNotOptimize(OrvaneModuleIntegration::IsLoggedIn());
}

void isLoggedInFacade(benchmark::State& state) {
    const auto guard = scriptLoggedIn();
    for (auto _ : state) benchmark::DoNotOptimize(VeskoIntegration::IsLoggedIn());
}

auto scriptFileName() {
    return Sandbox::script<&VeskoIntegration::GetPostDataFileName>(
        [name = System::gcnew<String>(std::u16string_view(u"project-0001.posts.json"))](Handle<String>) {
            return name;
        });
}

void fileNameBridge(benchmark::State& state) {
    const auto guard = scriptFileName();
    const unsigned previous = win32::SetThreadAnsiCodePage(1252);
    const std::string projectId = "project-0001";
    for (auto _ : state) {
        std::string name = OrvaneModuleIntegration::GetPostDataFileName(projectId);
        benchmark::DoNotOptimize(name.data());
    }
    win32::SetThreadAnsiCodePage(previous);
}

void fileNameFacade(benchmark::State& state) {
    const auto guard = scriptFileName();
    const auto projectId = System::gcnew<String>(std::u16string_view(u"project-0001"));
    for (auto _ : state) {
        auto name = VeskoIntegration::GetPostDataFileName(projectId);
        benchmark::DoNotOptimize(name.get());
    }
}

BENCHMARK(isLoggedInBridge)->Name("call/IsLoggedIn/bridge");
BENCHMARK(isLoggedInFacade)->Name("call/IsLoggedIn/facade");
BENCHMARK(fileNameBridge)->Name("call/GetPostDataFileName/bridge");
BENCHMARK(fileNameFacade)->Name("call/GetPostDataFileName/facade");

} // namespace
