// What the in-memory service's areas share: response codes, the session, ids, clocks, resets.
#pragma once

#include <OrvaneModule/Sandbox.h>
#include <OrvaneModule/VeskoIntegration.h>
#include <System/DateTime.h>
#include <System/String.h>

#include <array>
#include <string>
#include <string_view>

namespace OrvaneModule::SandboxState {

using System::Handle;
using System::String;

// The HTTP-like codes the sandbox writes into `responsecode`.
inline constexpr int Ok = 200;
inline constexpr int Created = 201;
inline constexpr int NoContent = 204;
inline constexpr int BadRequest = 400;
inline constexpr int Unauthorized = 401;
inline constexpr int NotFound = 404;

// The sample tenant's projects; every area knows them.
inline constexpr std::array<std::u16string_view, 2> kSampleProjects{u"prj-fjordbridge", u"prj-ringroad"};
inline constexpr std::u16string_view kSampleTenant = u"tenant-nordbygg";

bool isSampleProject(std::u16string_view projectId);

// Each area registers how to return to its empty state; Sandbox::reset() runs them all.
struct ResetHook {
    explicit ResetHook(void (*hook)());
};

// The session, kept by the sign-in area.
bool signedIn();
std::u16string signedInUser();
std::u16string currentTenant();
std::u16string currentProject();
void setCurrentProject(std::u16string_view projectId);

// Writes 401 and answers false when nobody is signed in.
bool requireSession(int& responsecode);

// A null string reads as empty, as the service treats missing text.
inline std::u16string text(const Handle<String>& value) {
    return value == nullptr ? std::u16string() : std::u16string(value->View());
}
inline Handle<String> str(std::u16string_view value) {
    return System::gcnew<String>(value);
}

// A fresh id such as "msr-000017"; unique within the process.
std::u16string newId(std::u16string_view prefix);
// The sandbox clock: a fixed start that advances one second per call, so answers are repeatable.
System::DateTime now();

} // namespace OrvaneModule::SandboxState
