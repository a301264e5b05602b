// Enumerations: GetUserPermissions answering all 133 permissions, and the two by-name conversions alone.
// Names: enum/GetUserPermissions/133/<bridge|facade|copy>, enum/<to_cpp_enum|to_cs_enum>/<Enum>/<bridge|byname>.
// `byname` compares the same names by hand, without the service string and narrow string the
// conversions allocate.
#include <OrvaneModule/Sandbox.h>
#include <OrvaneModule/VeskoIntegration.h>
#include <OrvaneModuleIntegration/OrvaneModuleIntegration.h>
#include <System/Enum.h>
#include <via/marshal/enums.h>
#include <win32/CodePage.h>

#include <benchmark/benchmark.h>
#include <magic_enum/magic_enum.hpp>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace {

using OrvaneModule::VeskoIntegration;
namespace Sandbox = OrvaneModule::Sandbox;
namespace api = OrvaneModule::ApiModels;
using System::Handle;
using System::String;
using System::Collections::Generic::List;

Handle<List<api::UserPermission>> allPermissions() {
    auto list = System::gcnew<List<api::UserPermission>>();
    for (const auto& [value, name] : System::EnumNames<api::UserPermission>::entries) list->Add(value);
    return list;
}

auto scriptPermissions(const Handle<List<api::UserPermission>>& list) {
    return Sandbox::script<&VeskoIntegration::GetUserPermissions>([list](Handle<String>, int& responsecode) {
        responsecode = 200;
        return list;
    });
}

void permissionsBridge(benchmark::State& state) {
    const auto guard = scriptPermissions(allPermissions());
    const unsigned previous = win32::SetThreadAnsiCodePage(1252);
    const std::string projectId = "project-0001";
    int responsecode = 0;
    for (auto _ : state) {
        auto permissions = OrvaneModuleIntegration::GetUserPermissions(projectId, responsecode);
        if (permissions.size() != 133) state.SkipWithError("GetUserPermissions");
        benchmark::DoNotOptimize(permissions.data());
    }
    win32::SetThreadAnsiCodePage(previous);
}

void permissionsFacade(benchmark::State& state) {
    const auto guard = scriptPermissions(allPermissions());
    const auto projectId = System::gcnew<String>(std::u16string_view(u"project-0001"));
    int responsecode = 0;
    for (auto _ : state) {
        auto permissions = VeskoIntegration::GetUserPermissions(projectId, responsecode);
        benchmark::DoNotOptimize(permissions.get());
    }
}

void permissionsCopy(benchmark::State& state) {
    const auto values = magic_enum::enum_values<UserPermission>();
    const std::vector<UserPermission> source(values.begin(), values.end());
    for (auto _ : state) {
        auto copy = source;
        benchmark::DoNotOptimize(copy.data());
    }
}

// One conversion per iteration, cycling through every enumerator so the scan length averages out.
template <class Native, class Service>
void toCppBridge(benchmark::State& state) {
    const auto& entries = System::EnumNames<Service>::entries;
    const unsigned previous = win32::SetThreadAnsiCodePage(1252);
    std::size_t i = 0;
    for (auto _ : state) {
        const Native value = via::marshal::to_cpp_enum<Native>(entries[i].first);
        benchmark::DoNotOptimize(value);
        if (++i == entries.size()) i = 0;
    }
    win32::SetThreadAnsiCodePage(previous);
}

bool sameName(std::u16string_view service, std::string_view native) {
    if (service.size() != native.size()) return false;
    for (std::size_t k = 0; k < native.size(); ++k)
        if (service[k] != static_cast<char16_t>(native[k])) return false;
    return true;
}

template <class Native, class Service>
Native toCppByHand(Service value) {
    std::u16string_view name;
    for (const auto& [entryValue, entryName] : System::EnumNames<Service>::entries)
        if (entryValue == value) name = entryName;
    const auto names = magic_enum::enum_names<Native>();
    for (std::size_t k = 0; k < names.size(); ++k)
        if (sameName(name, names[k])) return magic_enum::enum_value<Native>(k);
    throw System::InvalidCastException(u"csEnum");
}

template <class Native, class Service>
void toCppByName(benchmark::State& state) {
    const auto& entries = System::EnumNames<Service>::entries;
    std::size_t i = 0;
    for (auto _ : state) {
        const Native value = toCppByHand<Native>(entries[i].first);
        benchmark::DoNotOptimize(value);
        if (++i == entries.size()) i = 0;
    }
}

template <class Service, class Native>
void toCsBridge(benchmark::State& state) {
    const auto values = magic_enum::enum_values<Native>();
    const unsigned previous = win32::SetThreadAnsiCodePage(1252);
    std::size_t i = 0;
    for (auto _ : state) {
        const Service value = via::marshal::to_cs_enum<Service>(values[i]);
        benchmark::DoNotOptimize(value);
        if (++i == values.size()) i = 0;
    }
    win32::SetThreadAnsiCodePage(previous);
}

template <class Service, class Native>
Service toCsByHand(Native value) {
    const std::string_view name = magic_enum::enum_name(value);
    for (const auto& [entryValue, entryName] : System::EnumNames<Service>::entries)
        if (sameName(entryName, name)) return entryValue;
    throw System::InvalidCastException(u"cppEnum");
}

template <class Service, class Native>
void toCsByName(benchmark::State& state) {
    const auto values = magic_enum::enum_values<Native>();
    std::size_t i = 0;
    for (auto _ : state) {
        const Service value = toCsByHand<Service>(values[i]);
        benchmark::DoNotOptimize(value);
        if (++i == values.size()) i = 0;
    }
}

BENCHMARK(permissionsBridge)->Name("enum/GetUserPermissions/133/bridge");
BENCHMARK(permissionsFacade)->Name("enum/GetUserPermissions/133/facade");
BENCHMARK(permissionsCopy)->Name("enum/GetUserPermissions/133/copy");
BENCHMARK(toCppBridge<UserPermission, api::UserPermission>)->Name("enum/to_cpp_enum/UserPermission/bridge");
BENCHMARK(toCppByName<UserPermission, api::UserPermission>)->Name("enum/to_cpp_enum/UserPermission/byname");
BENCHMARK(toCppBridge<ApprovalStatus, api::ApprovalStatus>)->Name("enum/to_cpp_enum/ApprovalStatus/bridge");
BENCHMARK(toCppByName<ApprovalStatus, api::ApprovalStatus>)->Name("enum/to_cpp_enum/ApprovalStatus/byname");
BENCHMARK(toCsBridge<api::UserPermission, UserPermission>)->Name("enum/to_cs_enum/UserPermission/bridge");
BENCHMARK(toCsByName<api::UserPermission, UserPermission>)->Name("enum/to_cs_enum/UserPermission/byname");
BENCHMARK(toCsBridge<api::ApprovalStatus, ApprovalStatus>)->Name("enum/to_cs_enum/ApprovalStatus/bridge");
BENCHMARK(toCsByName<api::ApprovalStatus, ApprovalStatus>)->Name("enum/to_cs_enum/ApprovalStatus/byname");

} // namespace
