// Project, contract and post functions, driven as a host drives them.
#include "support/service.h"

#include <functional>
#include <thread>
#include <vector>

namespace oi = OrvaneModuleIntegration;
namespace models = OrvaneModule::Models;
using namespace test;

namespace {

template <class T>
using ListOf = VeskoIntegration::ListOf<T>;

const std::string kBridge = "prj-fjordbridge";
const std::string kRingRoad = "prj-ringroad";

struct Failure {
    const char* name;
    std::function<void()> raise;
};

const Failure kFailures[] = {
    {"system_exception", [] { throw System::Exception(); }},
    {"non_standard", [] { throw 42; }},
};

Handle<api::Contract> serviceContract(std::u16string_view id) {
    auto c = gcnew<api::Contract>();
    c->Id = S(id);
    return c;
}

Handle<models::ContractPost> servicePost(std::u16string_view id, bool visible = true) {
    auto p = gcnew<models::ContractPost>();
    p->Id = S(id);
    p->Visible = visible;
    return p;
}

class Projects : public HostTest {};
class ProjectsFailure : public HostTest, public ::testing::WithParamInterface<Failure> {};

} // namespace

TEST_F(Projects, AWalkThroughTheSampleTenant) {
    int responsecode = 0;
    EXPECT_TRUE(oi::SetProject(kBridge));
    oi::LoadProject(kBridge, responsecode);
    EXPECT_EQ(responsecode, 200);
    responsecode = 0;
    oi::LoadPosts(kBridge, responsecode);
    EXPECT_EQ(responsecode, 200);

    const ContractMeta meta = oi::GetContracts(kBridge, responsecode);
    EXPECT_EQ(responsecode, 200);
    ASSERT_EQ(meta.contracts.size(), 2u);
    EXPECT_EQ(meta.contracts[0].relatedContractId, "");
    EXPECT_EQ(meta.contracts[1].relatedContractId, meta.contracts[0].id);

    const auto contracts = oi::GetPostsMeta(kBridge, responsecode);
    ASSERT_EQ(contracts.size(), 2u);
    std::size_t postCount = 0;
    for (const auto& c : contracts) postCount += c.posts.size();

    const auto all = oi::GetAllPosts(kBridge, false, responsecode);
    const auto visible = oi::GetVisiblePosts(kBridge, responsecode);
    EXPECT_EQ(all.size(), postCount);
    ASSERT_FALSE(visible.empty());
    EXPECT_LT(visible.size(), all.size()); // the sample hides some posts
    for (const auto& p : visible) EXPECT_TRUE(p.visible) << p.id;
    EXPECT_EQ(all[0].id, contracts[0].posts[0].id);
    EXPECT_EQ(all[0].contractId, contracts[0].id);
    EXPECT_EQ(all[0].contractType, contracts[0].type);

    const auto project = oi::GetProjectById(kBridge, responsecode);
    ASSERT_TRUE(project.has_value());
    EXPECT_EQ(project->id, kBridge);
    EXPECT_FALSE(project->name.empty());
    EXPECT_TRUE(project->dateCreated.has_value());
    EXPECT_FALSE(project->reportDueDates.empty());

    const auto holder = oi::GetContractProject(contracts[1].id, responsecode);
    ASSERT_TRUE(holder.has_value());
    EXPECT_EQ(holder->id, kBridge);

    EXPECT_TRUE(oi::ShowManageContractPostsDialog(kBridge, contracts[0].id));
    EXPECT_NO_THROW(oi::ShowContractPostInfo(kBridge, all[0].id));
    EXPECT_EQ(oi::GetPostDataFileName(kBridge), "prj-fjordbridge.posts.json");
    responsecode = 0;
    EXPECT_TRUE(oi::SavePosts(kBridge, responsecode));
    EXPECT_EQ(responsecode, 200);
    oi::CloseProject();
}

TEST_F(Projects, SavingAProjectStampsItsModificationDate) {
    int responsecode = 0;
    const auto before = oi::GetProjectById(kRingRoad, responsecode);
    ASSERT_TRUE(before.has_value());
    EXPECT_FALSE(before->dateModified.has_value()); // the sample has never been modified

    oi::SaveProject(kRingRoad, responsecode);
    EXPECT_EQ(responsecode, 200);
    const auto after = oi::GetContractProject("ctr-rr-lighting", responsecode);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->id, kRingRoad);
    EXPECT_TRUE(after->dateModified.has_value());
}

TEST_F(Projects, TheSandboxRefusesWhatAServiceWould) {
    int responsecode = 0;
    EXPECT_FALSE(oi::SetProject("prj-unknown"));
    EXPECT_TRUE(oi::GetPostsMeta("prj-unknown", responsecode).empty());
    EXPECT_EQ(responsecode, 404);
    EXPECT_FALSE(oi::GetContractProject("ctr-unknown", responsecode).has_value());
    EXPECT_EQ(responsecode, 404);
    oi::LoadProject("", responsecode);
    EXPECT_EQ(responsecode, 400);
    EXPECT_FALSE(oi::ShowManageContractPostsDialog(kBridge, "ctr-rr-paving")); // another project's contract
    EXPECT_EQ(oi::GetPostDataFileName("prj-unknown"), "");

    ASSERT_TRUE(oi::Logout());
    EXPECT_TRUE(oi::GetContracts(kBridge, responsecode).contracts.empty());
    EXPECT_EQ(responsecode, 401);
}

// Guards the sandbox's answers: a caller that changes what it received must not change the service.
TEST_F(Projects, TheSandboxAnswersCopies) {
    int responsecode = 0;
    auto first = VeskoIntegration::GetProjectByID(S(u"prj-fjordbridge"), responsecode);
    first->Name = S(u"changed");
    first->ReportDueDates->Clear();
    auto posts = VeskoIntegration::GetAllPosts(S(u"prj-fjordbridge"), false, responsecode);
    (*posts)[0]->Visible = false;
    (*posts)[0]->Title = nullptr;

    const auto again = oi::GetProjectById(kBridge, responsecode);
    ASSERT_TRUE(again.has_value());
    EXPECT_NE(again->name, "changed");
    EXPECT_FALSE(again->reportDueDates.empty());
    const auto allAgain = oi::GetAllPosts(kBridge, false, responsecode);
    ASSERT_FALSE(allAgain.empty());
    EXPECT_TRUE(allAgain[0].visible);
    EXPECT_FALSE(allAgain[0].title.empty());
}

TEST_F(Projects, ConcurrentHostsSeeAConsistentService) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            CodePageScope page(1252);
            const std::string& id = t % 2 == 0 ? kBridge : kRingRoad;
            for (int i = 0; i < 50; ++i) {
                int responsecode = 0;
                EXPECT_TRUE(oi::SetProject(id));
                oi::SaveProject(id, responsecode);
                EXPECT_EQ(oi::GetPostsMeta(id, responsecode).size(), 2u);
                EXPECT_TRUE(oi::GetProjectById(id, responsecode).has_value());
            }
        });
    }
    for (auto& thread : threads) thread.join();
}

TEST_F(Projects, ArgumentsReachTheServiceUnchanged) {
    std::vector<std::u16string> seen;
    std::vector<bool> forced;
    auto all = Sandbox::script<&VeskoIntegration::GetAllPosts>([&](Handle<String> p, bool forceDialog, int&) {
        seen.push_back(T(p));
        forced.push_back(forceDialog);
        return listOf<Handle<models::ContractPost>>({});
    });
    auto dialog =
        Sandbox::script<&VeskoIntegration::ShowManageContractPostsDialog>([&](Handle<String> p, Handle<String> c) {
            seen.push_back(T(p) + u"|" + T(c));
            return true;
        });
    auto info = Sandbox::script<&VeskoIntegration::ShowContractPostInfo>(
        [&](Handle<String> p, Handle<String> post) { seen.push_back(T(p) + u"|" + T(post)); });
    auto byId = Sandbox::script<&VeskoIntegration::GetProjectByID>([&](Handle<String> id, int&) {
        seen.push_back(T(id));
        return Handle<api::Project>();
    });

    int responsecode = 0;
    oi::GetAllPosts("Tr\xF8ndelag", true, responsecode);
    oi::GetAllPosts("", false, responsecode);
    oi::ShowManageContractPostsDialog("p", "");
    oi::ShowContractPostInfo("", "pst-1");
    oi::GetProjectById("id-7", responsecode);
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"Tr\u00F8ndelag", u"", u"p|", u"|pst-1", u"id-7"}));
    EXPECT_EQ(forced, (std::vector<bool>{true, false}));
}

TEST_F(Projects, SavePostsReportsCompletionWhateverTheCode) {
    auto guard = Sandbox::script<&VeskoIntegration::SavePosts>([](Handle<String>, int& code) { code = 503; });
    int responsecode = 0;
    EXPECT_TRUE(oi::SavePosts(kBridge, responsecode));
    EXPECT_EQ(responsecode, 503);
}

TEST_F(Projects, SetProjectAndTheDialogReturnTheServiceAnswer) {
    for (const bool answer : {true, false}) {
        auto set = Sandbox::script<&VeskoIntegration::SetProject>([&](Handle<String>) { return answer; });
        auto dialog = Sandbox::script<&VeskoIntegration::ShowManageContractPostsDialog>(
            [&](Handle<String>, Handle<String>) { return answer; });
        EXPECT_EQ(oi::SetProject("prj-unknown"), answer);
        EXPECT_EQ(oi::ShowManageContractPostsDialog("prj-unknown", "ctr-unknown"), answer);
    }
}

TEST_F(Projects, VoidFunctionsLeaveTheServiceCode) {
    auto load = Sandbox::script<&VeskoIntegration::LoadProject>([](Handle<String>, int& code) { code = 202; });
    auto save = Sandbox::script<&VeskoIntegration::SaveProject>([](Handle<String>, int& code) { code = 409; });
    auto posts = Sandbox::script<&VeskoIntegration::LoadPosts>([](Handle<String>, int&) {});
    int responsecode = 0;
    oi::LoadProject(kBridge, responsecode);
    EXPECT_EQ(responsecode, 202);
    oi::SaveProject(kBridge, responsecode);
    EXPECT_EQ(responsecode, 409);
    responsecode = -3;
    oi::LoadPosts(kBridge, responsecode);
    EXPECT_EQ(responsecode, -3); // the service wrote nothing, and neither did the library
}

TEST_F(Projects, GetContractsIsEmptyForANullAnswerOrANullList) {
    const Handle<api::ContractMeta> answers[] = {
        nullptr,
        gcnew<api::ContractMeta>(),
        [] {
            auto meta = gcnew<api::ContractMeta>();
            meta->contracts = listOf<Handle<api::Contract>>({serviceContract(u"c1"), nullptr});
            return meta;
        }(),
    };
    for (const auto& answer : answers) {
        auto guard = Sandbox::script<&VeskoIntegration::GetContracts>([&](Handle<String>, int&) { return answer; });
        int responsecode = 0;
        EXPECT_TRUE(oi::GetContracts(kBridge, responsecode).contracts.empty());
    }
}

TEST_F(Projects, ListResultsAreEmptyForANullListOrOneNullElement) {
    struct Row {
        const char* name;
        ListOf<api::Contract> contracts;
        ListOf<models::ContractPost> posts;
    };
    const Row rows[] = {
        {"null_list", nullptr, nullptr},
        {"null_middle_element",
         listOf<Handle<api::Contract>>({serviceContract(u"c1"), nullptr, serviceContract(u"c3")}),
         listOf<Handle<models::ContractPost>>({servicePost(u"p1"), nullptr, servicePost(u"p3")})},
        {"null_only_element", listOf<Handle<api::Contract>>({nullptr}),
         listOf<Handle<models::ContractPost>>({nullptr})},
    };
    for (const auto& row : rows) {
        auto meta =
            Sandbox::script<&VeskoIntegration::GetPostsMeta>([&](Handle<String>, int&) { return row.contracts; });
        auto all =
            Sandbox::script<&VeskoIntegration::GetAllPosts>([&](Handle<String>, bool, int&) { return row.posts; });
        auto visible =
            Sandbox::script<&VeskoIntegration::GetVisiblePosts>([&](Handle<String>, int&) { return row.posts; });
        int responsecode = 0;
        EXPECT_TRUE(oi::GetPostsMeta(kBridge, responsecode).empty()) << row.name;
        EXPECT_TRUE(oi::GetAllPosts(kBridge, false, responsecode).empty()) << row.name;
        EXPECT_TRUE(oi::GetVisiblePosts(kBridge, responsecode).empty()) << row.name;
    }
}

TEST_F(Projects, ListResultsKeepTheServiceOrder) {
    auto visible = Sandbox::script<&VeskoIntegration::GetVisiblePosts>([](Handle<String>, int&) {
        return listOf<Handle<models::ContractPost>>(
            {servicePost(u"p2"), servicePost(u"p1", false), servicePost(u"p3")});
    });
    int responsecode = 0;
    const auto posts = oi::GetVisiblePosts(kBridge, responsecode);
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[0].id, "p2");
    EXPECT_EQ(posts[1].id, "p1");
    EXPECT_FALSE(posts[1].visible); // the library passes the service's flag on; it does not filter
    EXPECT_EQ(posts[2].id, "p3");
}

TEST_F(Projects, ProjectLookupsHaveNoValueForANullProject) {
    auto byId = Sandbox::script<&VeskoIntegration::GetProjectByID>([](Handle<String>, int& code) {
        code = 404;
        return Handle<api::Project>();
    });
    auto byContract = Sandbox::script<&VeskoIntegration::GetContractProject>(
        [](Handle<String>, int&) { return Handle<api::Project>(); });
    int responsecode = 0;
    EXPECT_FALSE(oi::GetProjectById(kBridge, responsecode).has_value());
    EXPECT_EQ(responsecode, 404);
    EXPECT_FALSE(oi::GetContractProject("ctr-fb-main", responsecode).has_value());
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetProjectByID>(), 1);
}

TEST_F(Projects, AProjectWithoutDueDatesHasNone) {
    auto byContract = Sandbox::script<&VeskoIntegration::GetContractProject>([](Handle<String>, int&) {
        auto project = gcnew<api::Project>();
        project->Id = S(u"prj-x");
        return project;
    });
    int responsecode = 0;
    const auto project = oi::GetContractProject("ctr-x", responsecode);
    ASSERT_TRUE(project.has_value());
    EXPECT_EQ(project->id, "prj-x");
    EXPECT_TRUE(project->reportDueDates.empty());
    EXPECT_FALSE(project->dateCreated.has_value());
}

TEST_F(Projects, PostDataFileNameIsEmptyForANullOrEmptyAnswer) {
    for (const auto& answer : {Handle<String>(), S(u"")}) {
        auto guard = Sandbox::script<&VeskoIntegration::GetPostDataFileName>([&](Handle<String>) { return answer; });
        EXPECT_EQ(oi::GetPostDataFileName(kBridge), "");
    }
}

TEST_F(Projects, AnArgumentThatDoesNotConvertNeverReachesTheService) {
    CodePageScope unsupported(12345);
    int responsecode = 7;
    EXPECT_FALSE(oi::SetProject(kBridge));
    oi::LoadProject(kBridge, responsecode);
    oi::SaveProject(kBridge, responsecode);
    EXPECT_FALSE(oi::GetProjectById(kBridge, responsecode).has_value());
    EXPECT_FALSE(oi::GetContractProject("ctr-fb-main", responsecode).has_value());
    oi::LoadPosts(kBridge, responsecode);
    EXPECT_FALSE(oi::SavePosts(kBridge, responsecode));
    EXPECT_EQ(oi::GetPostDataFileName(kBridge), "");
    EXPECT_TRUE(oi::GetContracts(kBridge, responsecode).contracts.empty());
    EXPECT_TRUE(oi::GetPostsMeta(kBridge, responsecode).empty());
    EXPECT_TRUE(oi::GetAllPosts(kBridge, false, responsecode).empty());
    EXPECT_TRUE(oi::GetVisiblePosts(kBridge, responsecode).empty());
    EXPECT_FALSE(oi::ShowManageContractPostsDialog(kBridge, "ctr-fb-main"));
    oi::ShowContractPostInfo(kBridge, "pst-fb-001");
    EXPECT_EQ(responsecode, 7);

    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::SetProject>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::LoadProject>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::SaveProject>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetProjectByID>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetContractProject>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::LoadPosts>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::SavePosts>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetPostDataFileName>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetContracts>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetPostsMeta>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetAllPosts>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetVisiblePosts>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::ShowManageContractPostsDialog>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::ShowContractPostInfo>(), 0);
}

TEST_P(ProjectsFailure, EveryFunctionGivesItsFallbackAndKeepsTheServiceCode) {
    const auto& raise = GetParam().raise;
    // Each scripted operation writes a code first, so the test sees that the library leaves it alone.
    auto coded = [&](int& code) {
        code = 500;
        raise();
    };
    auto setProject = Sandbox::script<&VeskoIntegration::SetProject>([&](Handle<String>) -> bool {
        raise();
        return true;
    });
    auto loadProject = Sandbox::script<&VeskoIntegration::LoadProject>([&](Handle<String>, int& c) { coded(c); });
    auto saveProject = Sandbox::script<&VeskoIntegration::SaveProject>([&](Handle<String>, int& c) { coded(c); });
    auto closeProject = Sandbox::script<&VeskoIntegration::CloseProject>([&] { raise(); });
    auto byId = Sandbox::script<&VeskoIntegration::GetProjectByID>([&](Handle<String>, int& c) {
        coded(c);
        return gcnew<api::Project>();
    });
    auto byContract = Sandbox::script<&VeskoIntegration::GetContractProject>([&](Handle<String>, int& c) {
        coded(c);
        return gcnew<api::Project>();
    });
    auto loadPosts = Sandbox::script<&VeskoIntegration::LoadPosts>([&](Handle<String>, int& c) { coded(c); });
    auto savePosts = Sandbox::script<&VeskoIntegration::SavePosts>([&](Handle<String>, int& c) { coded(c); });
    auto fileName = Sandbox::script<&VeskoIntegration::GetPostDataFileName>([&](Handle<String>) {
        raise();
        return S(u"x.json");
    });
    auto contracts = Sandbox::script<&VeskoIntegration::GetContracts>([&](Handle<String>, int& c) {
        coded(c);
        return gcnew<api::ContractMeta>();
    });
    auto postsMeta = Sandbox::script<&VeskoIntegration::GetPostsMeta>([&](Handle<String>, int& c) {
        coded(c);
        return listOf<Handle<api::Contract>>({serviceContract(u"c1")});
    });
    auto allPosts = Sandbox::script<&VeskoIntegration::GetAllPosts>([&](Handle<String>, bool, int& c) {
        coded(c);
        return listOf<Handle<models::ContractPost>>({servicePost(u"p1")});
    });
    auto visiblePosts = Sandbox::script<&VeskoIntegration::GetVisiblePosts>([&](Handle<String>, int& c) {
        coded(c);
        return listOf<Handle<models::ContractPost>>({servicePost(u"p1")});
    });
    auto dialog =
        Sandbox::script<&VeskoIntegration::ShowManageContractPostsDialog>([&](Handle<String>, Handle<String>) {
            raise();
            return true;
        });
    auto info =
        Sandbox::script<&VeskoIntegration::ShowContractPostInfo>([&](Handle<String>, Handle<String>) { raise(); });

    // Resets the code before each call, so every check sees that call's own outcome.
    int responsecode = 0;
    auto fresh = [&]() -> int& {
        responsecode = 0;
        return responsecode;
    };
    EXPECT_FALSE(oi::SetProject(kBridge));
    oi::LoadProject(kBridge, fresh());
    EXPECT_EQ(responsecode, 500);
    oi::SaveProject(kBridge, fresh());
    EXPECT_EQ(responsecode, 500);
    EXPECT_NO_THROW(oi::CloseProject());
    EXPECT_FALSE(oi::GetProjectById(kBridge, fresh()).has_value());
    EXPECT_EQ(responsecode, 500);
    EXPECT_FALSE(oi::GetContractProject("ctr-fb-main", fresh()).has_value());
    EXPECT_EQ(responsecode, 500);
    oi::LoadPosts(kBridge, fresh());
    EXPECT_EQ(responsecode, 500);
    EXPECT_FALSE(oi::SavePosts(kBridge, fresh()));
    EXPECT_EQ(responsecode, 500);
    EXPECT_EQ(oi::GetPostDataFileName(kBridge), "");
    EXPECT_TRUE(oi::GetContracts(kBridge, fresh()).contracts.empty());
    EXPECT_EQ(responsecode, 500);
    EXPECT_TRUE(oi::GetPostsMeta(kBridge, fresh()).empty());
    EXPECT_EQ(responsecode, 500);
    EXPECT_TRUE(oi::GetAllPosts(kBridge, true, fresh()).empty());
    EXPECT_EQ(responsecode, 500);
    EXPECT_TRUE(oi::GetVisiblePosts(kBridge, fresh()).empty());
    EXPECT_EQ(responsecode, 500);
    EXPECT_FALSE(oi::ShowManageContractPostsDialog(kBridge, "ctr-fb-main"));
    EXPECT_NO_THROW(oi::ShowContractPostInfo(kBridge, "pst-fb-001"));
}

INSTANTIATE_TEST_SUITE_P(Raises, ProjectsFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& row) { return std::string(row.param.name); });
