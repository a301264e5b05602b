#include "State.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace OrvaneModule::SandboxState {

namespace {
std::atomic<long> g_nextId{1};
std::atomic<long> g_clockSeconds{0};

void resetCounters() {
    g_nextId = 1;
    g_clockSeconds = 0;
}
const ResetHook g_resetCounters(&resetCounters);
} // namespace

bool isSampleProject(std::u16string_view projectId) {
    return std::find(kSampleProjects.begin(), kSampleProjects.end(), projectId) != kSampleProjects.end();
}

bool requireSession(int& responsecode) {
    if (signedIn()) return true;
    responsecode = Unauthorized;
    return false;
}

std::u16string newId(std::u16string_view prefix) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "-%06ld", g_nextId.fetch_add(1));
    std::u16string id(prefix);
    for (const char* p = digits; *p; ++p) id.push_back(static_cast<char16_t>(*p));
    return id;
}

System::DateTime now() {
    static const System::DateTime start(2026, 3, 2, 8, 0, 0, System::DateTimeKind::Utc);
    return start.AddTicks(g_clockSeconds.fetch_add(1) * System::DateTime::TicksPerSecond);
}

} // namespace OrvaneModule::SandboxState
