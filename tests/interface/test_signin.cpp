// Sign-in functions and the help callback, driven as a host drives them.
#include "support/service.h"

#include <functional>
#include <new>
#include <stdexcept>
#include <thread>

namespace oi = OrvaneModuleIntegration;
using namespace test;

namespace {

// One way for the facade to fail, for tables of failure cases.
struct Failure {
    const char* name;
    std::function<void()> raise;
};

const Failure kFailures[] = {
    {"argument", [] { throw System::ArgumentException(u"bad"); }},
    {"null_reference", [] { throw System::NullReferenceException(); }},
    {"invalid_cast", [] { throw System::InvalidCastException(u"csEnum"); }},
    {"bad_alloc", [] { throw std::bad_alloc(); }},
    {"runtime_error", [] { throw std::runtime_error("service down"); }},
    {"int", [] { throw 42; }},
};

class SignIn : public HostTest {};
class SignInFailure : public HostTest, public ::testing::WithParamInterface<Failure> {};

} // namespace

TEST_F(SignIn, AgainstTheSandbox) {
    int responsecode = 0;
    EXPECT_TRUE(oi::IsLoggedIn());
    EXPECT_EQ(oi::GetLoggedInUser(responsecode), "ada");
    EXPECT_EQ(responsecode, 200);

    std::string user = "stale", tenantId = "stale";
    oi::GetBearerToken(false, user, tenantId);
    EXPECT_EQ(user, "ada");
    EXPECT_EQ(tenantId, tenant);

    EXPECT_TRUE(oi::Login("grace", "tenant-2", responsecode)); // a second login replaces the user
    EXPECT_EQ(oi::GetLoggedInUser(responsecode), "grace");

    EXPECT_TRUE(oi::Logout());
    EXPECT_FALSE(oi::IsLoggedIn());
    EXPECT_EQ(oi::GetLoggedInUser(responsecode), "");
    EXPECT_EQ(responsecode, 401);
}

TEST_F(SignIn, LoginPassesEmptyStringsAndReportsCompletionWhateverTheCode) {
    std::u16string seenUser = u"<unset>", seenTenant = u"<unset>";
    auto guard = Sandbox::script<&VeskoIntegration::Login>([&](Handle<String> u, Handle<String> t, int& code) {
        seenUser = T(u);
        seenTenant = T(t);
        code = 503;
    });
    int responsecode = 0;
    EXPECT_TRUE(oi::Login("", "", responsecode));
    EXPECT_EQ(seenUser, u"");
    EXPECT_EQ(seenTenant, u"");
    EXPECT_EQ(responsecode, 503);
}

TEST_F(SignIn, AnArgumentThatDoesNotConvertNeverReachesTheService) {
    const int before = Sandbox::callCount<&VeskoIntegration::Login>();
    CodePageScope unsupported(12345);
    int responsecode = 7;
    EXPECT_FALSE(oi::Login("ada", "t", responsecode));
    EXPECT_EQ(responsecode, 7);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::Login>(), before);
}

TEST_P(SignInFailure, EveryFunctionGivesItsFallback) {
    const auto& raise = GetParam().raise;
    auto login = Sandbox::script<&VeskoIntegration::Login>([&](Handle<String>, Handle<String>, int& code) {
        code = 500;
        raise();
    });
    auto logout = Sandbox::script<&VeskoIntegration::Logout>([&] { raise(); });
    auto isLoggedIn = Sandbox::script<&VeskoIntegration::IsLoggedIn>([&]() -> bool {
        raise();
        return true;
    });
    auto user = Sandbox::script<&VeskoIntegration::GetLoggedInUser>([&](int& code) -> Handle<String> {
        code = 500;
        raise();
        return S(u"ada");
    });
    auto tenantSetter = Sandbox::script<&VeskoIntegration::SetTenantUniqueId>([&](Handle<String>) { raise(); });
    auto language = Sandbox::script<&VeskoIntegration::SetCurrentAppLanguage>([&](Handle<String>) { raise(); });
    auto callbacks =
        Sandbox::script<&VeskoIntegration::SetCallbacks>([&](Handle<OrvaneModule::HelpAction>) { raise(); });

    int responsecode = 0;
    EXPECT_FALSE(oi::Login("ada", "t", responsecode));
    EXPECT_EQ(responsecode, 500);
    EXPECT_FALSE(oi::Logout());
    EXPECT_FALSE(oi::IsLoggedIn());
    responsecode = 0;
    EXPECT_EQ(oi::GetLoggedInUser(responsecode), "");
    EXPECT_EQ(responsecode, 500);
    EXPECT_NO_THROW(oi::SetTenantUniqueId("t"));
    EXPECT_NO_THROW(oi::SetCurrentAppLanguage("nb"));
    EXPECT_NO_THROW(oi::SetCallbacks([](const std::string&) { return true; }));
}

INSTANTIATE_TEST_SUITE_P(Raises, SignInFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(SignIn, IsLoggedInAndGetLoggedInUserReturnTheServiceAnswer) {
    auto no = Sandbox::script<&VeskoIntegration::IsLoggedIn>([] { return false; });
    EXPECT_FALSE(oi::IsLoggedIn());

    int responsecode = 0;
    for (const auto& answer : {Handle<String>(), S(u"")}) {
        auto user = Sandbox::script<&VeskoIntegration::GetLoggedInUser>([&](int&) { return answer; });
        EXPECT_EQ(oi::GetLoggedInUser(responsecode), "");
    }
}

TEST_F(SignIn, BearerTokenOverwritesBothOutParametersOnEveryPath) {
    struct Case {
        const char* name;
        std::function<void(Handle<String>&, Handle<String>&)> service;
        std::string user, tenantId;
    };
    const Case cases[] = {
        {"raises_before_writing", [](auto&, auto&) { throw System::Exception(); }, "", ""},
        {"writes_then_raises",
         [](auto& u, auto& t) {
             u = S(u"ada");
             t = S(u"tn");
             throw std::runtime_error("late");
         },
         "ada", "tn"},
        {"leaves_null_user", [](auto& u, auto& t) { u = nullptr, t = S(u"tn"); }, "", "tn"},
        {"leaves_null_tenant", [](auto& u, auto& t) { u = S(u"ada"), t = nullptr; }, "ada", ""},
    };
    for (const auto& c : cases) {
        bool forceDialogSeen = false;
        auto guard = Sandbox::script<&VeskoIntegration::GetBearerToken>(
            [&](bool forceDialog, Handle<String>& u, Handle<String>& t) {
                forceDialogSeen = forceDialog;
                c.service(u, t);
            });
        std::string user = "old-user", tenantId = "old-tenant";
        oi::GetBearerToken(true, user, tenantId);
        EXPECT_TRUE(forceDialogSeen) << c.name;
        EXPECT_EQ(user, c.user) << c.name;
        EXPECT_EQ(tenantId, c.tenantId) << c.name;
    }
}

TEST_F(SignIn, SettersPassTheirTextUnchanged) {
    std::u16string tenantSeen, languageSeen;
    auto t = Sandbox::script<&VeskoIntegration::SetTenantUniqueId>([&](Handle<String> s) { tenantSeen = T(s); });
    auto l = Sandbox::script<&VeskoIntegration::SetCurrentAppLanguage>([&](Handle<String> s) { languageSeen = T(s); });
    oi::SetTenantUniqueId("Tr\xF8ndelag");
    oi::SetCurrentAppLanguage("");
    EXPECT_EQ(tenantSeen, u"Tr\u00F8ndelag");
    EXPECT_EQ(languageSeen, u"");
}

class HelpCallback : public HostTest {};

TEST_F(HelpCallback, TheServiceReachesTheHostsCallbackThroughItsHelpAction) {
    std::string seen = "<none>";
    oi::SetCallbacks([&](const std::string& key) {
        seen = key;
        return true;
    });
    EXPECT_TRUE(Sandbox::raiseHelp(S(u"measurement.\u221E")));
    EXPECT_EQ(seen, "measurement.?"); // 1252 lacks the character: the page's default stands in
    EXPECT_TRUE(Sandbox::raiseHelp(S(u"")));
    EXPECT_EQ(seen, "");
}

TEST_F(HelpCallback, ASecondRegistrationReplacesTheFirstAndGivesTheServiceANewAction) {
    int first = 0, second = 0;
    oi::SetCallbacks([&](const std::string&) { return ++first, true; });
    oi::SetCallbacks([&](const std::string&) { return ++second, false; });
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::SetCallbacks>(), 2);
    EXPECT_FALSE(Sandbox::raiseHelp(S(u"k"))); // the callback's false is the action's answer
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
}

TEST_F(HelpCallback, ErrorsGoBackToTheService) {
    oi::SetCallbacks({});
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::SetCallbacks>(), 1);
    EXPECT_THROW(Sandbox::raiseHelp(S(u"k")), std::bad_function_call);

    oi::SetCallbacks([](const std::string&) -> bool { throw std::runtime_error("host failed"); });
    EXPECT_THROW(Sandbox::raiseHelp(S(u"k")), std::runtime_error);

    int calls = 0;
    oi::SetCallbacks([&](const std::string&) { return ++calls, true; });
    EXPECT_THROW(Sandbox::raiseHelp(nullptr), System::ArgumentNullException);
    EXPECT_EQ(calls, 0); // a null key fails before the callback is called
}

TEST_F(HelpCallback, AFailingServiceStillKeepsTheNewCallback) {
    int calls = 0;
    {
        auto failing = Sandbox::script<&VeskoIntegration::SetCallbacks>(
            [](Handle<OrvaneModule::HelpAction>) { throw System::Exception(); });
        oi::SetCallbacks([&](const std::string&) { return ++calls, true; });
    }
    oi::SetCallbacks([&](const std::string&) { return calls += 10, true; });
    EXPECT_TRUE(Sandbox::raiseHelp(S(u"k")));
    EXPECT_EQ(calls, 10);
}

TEST_F(HelpCallback, RaisedFromAnotherThread) {
    std::thread::id caller;
    oi::SetCallbacks([&](const std::string& key) {
        caller = std::this_thread::get_id();
        return key == "from-worker";
    });
    bool answer = false;
    std::thread worker([&] {
        CodePageScope page(65001);
        answer = Sandbox::raiseHelp(S(u"from-worker"));
    });
    worker.join();
    EXPECT_TRUE(answer);
    EXPECT_NE(caller, std::this_thread::get_id());
}
