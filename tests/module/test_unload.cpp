// The bridge as a module: it can be unloaded, and unloading destroys the stored help callback.
// This executable does not link the bridge, so dlclose really unloads it.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <functional>
#include <string>

namespace {

std::atomic<int> g_alive{0};

// A callable whose copies are counted, so the test sees when the library releases its copy.
struct CountedCallback {
    CountedCallback() { ++g_alive; }
    CountedCallback(const CountedCallback&) { ++g_alive; }
    ~CountedCallback() { --g_alive; }
    bool operator()(const std::string&) const { return true; }
};

using SetCallbacksFn = void (*)(std::function<bool(const std::string&)>);

} // namespace

TEST(Module, UnloadingReleasesTheStoredHelpCallback) {
    void* bridge = dlopen(ORVANE_BRIDGE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(bridge, nullptr) << dlerror();
    auto setCallbacks = reinterpret_cast<SetCallbacksFn>(dlsym(bridge, ORVANE_SET_CALLBACKS_SYMBOL));
    ASSERT_NE(setCallbacks, nullptr) << dlerror();

    setCallbacks(CountedCallback{});
    EXPECT_EQ(g_alive, 1) << "the library keeps exactly one copy";

    ASSERT_EQ(dlclose(bridge), 0);
    // A library that cannot be unloaded (GNU unique symbols, for instance) keeps its copy alive.
    EXPECT_EQ(g_alive, 0);
    EXPECT_EQ(dlopen(ORVANE_BRIDGE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the bridge is still loaded";
}
