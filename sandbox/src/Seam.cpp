// The seam's registry of scripts and call counts, and the reset of the in-memory service.
#include "State.h"

#include <OrvaneModule/Sandbox.h>

#include <mutex>
#include <unordered_map>
#include <vector>

namespace OrvaneModule::Sandbox {

namespace {

struct Slot {
    std::shared_ptr<void> script;
    int calls = 0;
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<const void*, Slot> slots;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::vector<void (*)()>& resetHooks() {
    static std::vector<void (*)()> hooks;
    return hooks;
}

} // namespace

namespace detail {

std::shared_ptr<void> exchangeScript(const void* key, std::shared_ptr<void> behaviour) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto previous = std::move(r.slots[key].script);
    r.slots[key].script = std::move(behaviour);
    return previous;
}

std::shared_ptr<void> enterCall(const void* key) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto& slot = r.slots[key];
    ++slot.calls;
    return slot.script;
}

int callCountOf(const void* key) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    const auto found = r.slots.find(key);
    return found == r.slots.end() ? 0 : found->second.calls;
}

} // namespace detail

void reset() {
    {
        auto& r = registry();
        std::lock_guard lock(r.mutex);
        r.slots.clear();
    }
    for (auto hook : resetHooks()) hook();
}

} // namespace OrvaneModule::Sandbox

namespace OrvaneModule::SandboxState {

ResetHook::ResetHook(void (*hook)()) {
    Sandbox::resetHooks().push_back(hook);
}

} // namespace OrvaneModule::SandboxState
