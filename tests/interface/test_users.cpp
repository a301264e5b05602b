// User, role, permission and module functions, driven as a host drives them.
#include "support/service.h"

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace oi = OrvaneModuleIntegration;
using namespace test;

namespace {

// One of the three read functions with its facade operation and its two enumerations.
template <auto Op, auto Exported, class NativeEnum, class ServiceEnum>
struct Getter {
    static constexpr auto op = Op;
    static constexpr auto exported = Exported;
    using Native = NativeEnum;
    using Service = ServiceEnum;
};

using Getters = ::testing::Types<
    Getter<&VeskoIntegration::GetUserPermissions, &oi::GetUserPermissions, UserPermission, api::UserPermission>,
    Getter<&VeskoIntegration::GetUserRoles, &oi::GetUserRoles, UserRole, api::UserRole>,
    Getter<&VeskoIntegration::GetModules, &oi::GetModules, ApplicationModule, api::ApplicationModule>>;

template <class G>
class UserLists : public HostTest {
protected:
    using Native = typename G::Native;
    using Service = typename G::Service;
    using ServiceList = Handle<List<Service>>;

    // Scripts the facade to write `code`, run `raise`, and answer `answer`.
    static auto answer(int code, ServiceList list, std::function<void()> raise = {}) {
        return Sandbox::script<G::op>([=](Handle<String>, int& responsecode) {
            responsecode = code;
            if (raise) raise();
            return list;
        });
    }
    static std::vector<Native> call(int& responsecode) { return G::exported("prj-fjordbridge", responsecode); }
    static int calls() { return Sandbox::callCount<G::op>(); }
    // Some enumerator the service has; which one does not matter.
    static constexpr Service someValue = System::EnumNames<Service>::entries[2].first;
};

struct GetterName {
    template <class G>
    static std::string GetName(int) {
        return std::string(magic_enum::enum_type_name<typename G::Native>());
    }
};

TYPED_TEST_SUITE(UserLists, Getters, GetterName);

} // namespace

TYPED_TEST(UserLists, EmptyAndNullListsBothGiveAnEmptyVectorAndTheServicesCode) {
    for (const auto& list : {listOf<typename TestFixture::Service>({}), typename TestFixture::ServiceList()}) {
        auto guard = TestFixture::answer(204, list);
        int responsecode = 0;
        EXPECT_TRUE(TestFixture::call(responsecode).empty());
        EXPECT_EQ(responsecode, 204);
    }
}

TYPED_TEST(UserLists, OneElementWithoutANativeNameEmptiesTheWholeAnswer) {
    using E = typename TestFixture::Service;
    auto guard =
        TestFixture::answer(200, listOf<E>({TestFixture::someValue, static_cast<E>(42), TestFixture::someValue}));
    int responsecode = 0;
    EXPECT_TRUE(TestFixture::call(responsecode).empty());
    EXPECT_EQ(responsecode, 200);
}

TYPED_TEST(UserLists, AFailingServiceGivesAnEmptyVectorWithTheCodeItLeft) {
    const std::function<void()> raises[] = {[] { throw System::InvalidOperationException(u"down"); }, [] { throw 42; }};
    for (const auto& raise : raises) {
        auto guard = TestFixture::answer(503, listOf({TestFixture::someValue}), raise);
        int responsecode = 0;
        EXPECT_TRUE(TestFixture::call(responsecode).empty());
        EXPECT_EQ(responsecode, 503);
    }
}

TYPED_TEST(UserLists, AProjectIdThatDoesNotConvertNeverReachesTheService) {
    CodePageScope unsupported(12345);
    int responsecode = 7;
    EXPECT_TRUE(TestFixture::call(responsecode).empty());
    EXPECT_EQ(responsecode, 7);
    EXPECT_EQ(TestFixture::calls(), 0);
}

class Users : public HostTest {};

TEST_F(Users, PermissionsComeBackByNameInTheServicesOrder) {
    std::u16string projectSeen;
    auto guard = Sandbox::script<&VeskoIntegration::GetUserPermissions>([&](Handle<String> projectId, int& code) {
        projectSeen = T(projectId);
        code = 200;
        return listOf({api::UserPermission::ReadProjects, api::UserPermission::Count});
    });
    int responsecode = 0;
    const auto permissions = oi::GetUserPermissions("prj-\xF8st", responsecode);
    EXPECT_EQ(permissions, (std::vector<UserPermission>{UserPermission::ReadProjects, UserPermission::Count}));
    ASSERT_EQ(permissions.size(), 2u);
    EXPECT_EQ(static_cast<int>(permissions[0]), 13);
    EXPECT_EQ(static_cast<int>(permissions[1]), 132);
    EXPECT_EQ(projectSeen, u"prj-\u00F8st");
    EXPECT_EQ(responsecode, 200);
}

TEST_F(Users, ModulesAndRolesComeBackInTheServicesOrderWithDuplicates) {
    auto modules = Sandbox::script<&VeskoIntegration::GetModules>([](Handle<String>, int&) {
        return listOf({api::ApplicationModule::Zelvo, api::ApplicationModule::Events});
    });
    auto roles = Sandbox::script<&VeskoIntegration::GetUserRoles>([](Handle<String>, int&) {
        return listOf({api::UserRole::Observer, api::UserRole::ProjectsOwner, api::UserRole::Observer});
    });
    int responsecode = 0;
    EXPECT_EQ(oi::GetModules("p", responsecode),
              (std::vector<ApplicationModule>{ApplicationModule::Zelvo, ApplicationModule::Events}));
    EXPECT_EQ(oi::GetUserRoles("p", responsecode),
              (std::vector<UserRole>{UserRole::Observer, UserRole::ProjectsOwner, UserRole::Observer}));
}

TEST_F(Users, AddUserRolePassesTheRoleByNameAndReportsCompletionWhateverTheCode) {
    std::u16string projectSeen;
    api::UserRole roleSeen{};
    auto guard =
        Sandbox::script<&VeskoIntegration::AddUserRole>([&](Handle<String> projectId, api::UserRole role, int& code) {
            projectSeen = T(projectId);
            roleSeen = role;
            code = 409;
        });
    int responsecode = 0;
    EXPECT_TRUE(oi::AddUserRole("prj-ringroad", UserRole::Observer, responsecode));
    EXPECT_EQ(roleSeen, api::UserRole::Observer);
    EXPECT_EQ(projectSeen, u"prj-ringroad");
    EXPECT_EQ(responsecode, 409);
}

TEST_F(Users, AddUserRoleWithoutAConvertibleArgumentNeverReachesTheService) {
    for (const int value : {12, -1}) {
        int responsecode = 7;
        EXPECT_FALSE(oi::AddUserRole("prj-ringroad", static_cast<UserRole>(value), responsecode)) << value;
        EXPECT_EQ(responsecode, 7) << value;
    }
    CodePageScope unsupported(12345);
    int responsecode = 7;
    EXPECT_FALSE(oi::AddUserRole("prj-ringroad", UserRole::Observer, responsecode));
    EXPECT_EQ(responsecode, 7);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::AddUserRole>(), 0);
}

TEST_F(Users, AddUserRoleGivesFalseWithTheCodeAFailingServiceLeft) {
    const std::function<void()> raises[] = {[] { throw System::ArgumentException(u"role"); }, [] { throw 42; }};
    for (const auto& raise : raises) {
        auto guard = Sandbox::script<&VeskoIntegration::AddUserRole>([&](Handle<String>, api::UserRole, int& code) {
            code = 500;
            raise();
        });
        int responsecode = 0;
        EXPECT_FALSE(oi::AddUserRole("prj-ringroad", UserRole::Foreman, responsecode));
        EXPECT_EQ(responsecode, 500);
    }
}

TEST_F(Users, AgainstTheSandbox) {
    int responsecode = 0;
    EXPECT_EQ(oi::GetUserRoles("prj-fjordbridge", responsecode),
              (std::vector<UserRole>{UserRole::ProjectLeader, UserRole::Surveyor}));
    EXPECT_EQ(responsecode, 200);

    EXPECT_TRUE(oi::AddUserRole("prj-fjordbridge", UserRole::Observer, responsecode));
    EXPECT_EQ(responsecode, 200);
    EXPECT_TRUE(oi::AddUserRole("prj-fjordbridge", UserRole::Surveyor, responsecode));
    EXPECT_EQ(
        oi::GetUserRoles("prj-fjordbridge", responsecode),
        (std::vector<UserRole>{UserRole::ProjectLeader, UserRole::Surveyor, UserRole::Observer, UserRole::Surveyor}));
    EXPECT_EQ(oi::GetModules("prj-fjordbridge", responsecode),
              (std::vector<ApplicationModule>{ApplicationModule::Quantities, ApplicationModule::Zelvo,
                                              ApplicationModule::Events}));
    const auto permissions = oi::GetUserPermissions("prj-fjordbridge", responsecode);
    EXPECT_NE(std::find(permissions.begin(), permissions.end(), UserPermission::ReadProjects), permissions.end());
    EXPECT_EQ(responsecode, 200);

    // The other project's roles are its own.
    EXPECT_EQ(oi::GetUserRoles("prj-ringroad", responsecode), std::vector<UserRole>{UserRole::Foreman});

    EXPECT_TRUE(oi::GetUserRoles("prj-unknown", responsecode).empty());
    EXPECT_EQ(responsecode, 404);
    EXPECT_TRUE(oi::AddUserRole("prj-unknown", UserRole::Observer, responsecode));
    EXPECT_EQ(responsecode, 404);

    ASSERT_TRUE(oi::Logout());
    EXPECT_TRUE(oi::GetUserPermissions("prj-fjordbridge", responsecode).empty());
    EXPECT_EQ(responsecode, 401);
}

TEST_F(Users, SandboxResetForgetsAddedRoles) {
    int responsecode = 0;
    ASSERT_TRUE(oi::AddUserRole("prj-ringroad", UserRole::Observer, responsecode));
    Sandbox::reset();
    ASSERT_TRUE(oi::Login("ada", std::string(tenant), responsecode));
    EXPECT_EQ(oi::GetUserRoles("prj-ringroad", responsecode), std::vector<UserRole>{UserRole::Foreman});
}

// Guards the sandbox's own locking: roles added from several threads while others read are all kept.
TEST_F(Users, ConcurrentAddsAreAllKept) {
    constexpr int threads = 4, adds = 50;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([] {
            for (int i = 0; i < adds; ++i) {
                int responsecode = 0;
                oi::AddUserRole("prj-ringroad", UserRole::Observer, responsecode);
                (void)oi::GetUserRoles("prj-ringroad", responsecode);
            }
        });
    }
    for (auto& w : workers) w.join();
    int responsecode = 0;
    EXPECT_EQ(oi::GetUserRoles("prj-ringroad", responsecode).size(), 1u + threads * adds);
}
