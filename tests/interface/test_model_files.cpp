// Model-file functions, driven as a host drives them.
#include "support/service.h"

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace oi = OrvaneModuleIntegration;
using namespace test;

namespace {

using GeometryList = VeskoIntegration::ListOf<api::ZelvoModelGeometry>;
using CorrelationList = VeskoIntegration::ListOf<api::ZelvoCorrelation>;

constexpr const char* kProject = "prj-fjordbridge";

template <class E>
std::u16string nameOf(E value) {
    return std::u16string(System::Enum::ToString(value)->View());
}

Handle<api::ZelvoCorrelation> correlation(Handle<String> estimated, Handle<String> actual) {
    auto c = gcnew<api::ZelvoCorrelation>();
    c->EstimatedFileConnectedId = std::move(estimated);
    c->ActualFileConnectedId = std::move(actual);
    return c;
}

ZelvoModelGeometry geometry(std::string text, ZelvoGeometryType type) {
    return ZelvoModelGeometry{std::move(text), ZelvoModelMetadata{type, "label", 5.0}};
}

class ModelFiles : public HostTest {};

} // namespace

TEST_F(ModelFiles, SetZelvoFileInfoHandsOverEmptyStringsAndTheTypeByName) {
    std::u16string project, file;
    Handle<api::ZelvoFileInfo> seen;
    auto g = Sandbox::script<&VeskoIntegration::SetZelvoFileInfo>(
        [&](Handle<String> p, Handle<String> f, Handle<api::ZelvoFileInfo> info, int& code) {
            project = T(p), file = T(f), seen = info;
            code = 204;
        });
    int responsecode = 0;
    oi::SetZelvoFileInfo(kProject, "", ZelvoFileInfo{"", "client-\xE9", ZelvoFileType::ActualAndEstimated, 250},
                         responsecode);
    EXPECT_EQ(responsecode, 204);
    EXPECT_EQ(project, u"prj-fjordbridge");
    EXPECT_EQ(file, u"");
    ASSERT_FALSE(seen == nullptr);
    EXPECT_EQ(T(seen->ConnectedFileId), u"");
    EXPECT_EQ(T(seen->ClientProvidedId), u"client-\u00E9");
    EXPECT_EQ(nameOf(seen->ZelvoFileType), u"ActualAndEstimated");
    EXPECT_EQ(seen->Resolution, 250);
}

TEST_F(ModelFiles, SetZelvoFileInfoWithAnUnnamedFileTypeNeverReachesTheService) {
    int responsecode = 7;
    EXPECT_NO_THROW(
        oi::SetZelvoFileInfo(kProject, "f", ZelvoFileInfo{"c", "k", static_cast<ZelvoFileType>(4), 0}, responsecode));
    EXPECT_EQ(responsecode, 7);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::SetZelvoFileInfo>(), 0);
}

TEST_F(ModelFiles, GetZelvoFileInfoAnswers) {
    struct Case {
        const char* name;
        std::function<Handle<api::ZelvoFileInfo>()> answer;
        std::optional<ZelvoFileInfo> expected;
    };
    const auto object = [](Handle<String> connected, Handle<String> client, api::ZelvoFileType type) {
        auto info = gcnew<api::ZelvoFileInfo>();
        info->ConnectedFileId = std::move(connected);
        info->ClientProvidedId = std::move(client);
        info->ZelvoFileType = type;
        info->Resolution = 3;
        return info;
    };
    const Case cases[] = {
        {"null", [] { return Handle<api::ZelvoFileInfo>(); }, std::nullopt},
        {"null_strings", [&] { return object(nullptr, nullptr, api::ZelvoFileType::Estimated); },
         ZelvoFileInfo{"", "", ZelvoFileType::Estimated, 3}},
        {"by_name", [&] { return object(S(u"c"), S(u""), api::ZelvoFileType::ActualAndEstimated); },
         ZelvoFileInfo{"c", "", ZelvoFileType::ActualAndEstimated, 3}},
        // Service number 2 is the host's Actual but no service enumerator: no record at all.
        {"unnamed_type", [&] { return object(S(u"c"), S(u"k"), static_cast<api::ZelvoFileType>(2)); }, std::nullopt},
    };
    for (const auto& c : cases) {
        std::u16string args;
        auto g = Sandbox::script<&VeskoIntegration::GetZelvoFileInfo>(
            [&](Handle<String> p, Handle<String> partition, Handle<String> f, int& code) {
                args = T(p) + u"|" + T(partition) + u"|" + T(f);
                code = 200;
                return c.answer();
            });
        int responsecode = 0;
        const auto info = oi::GetZelvoFileInfo(kProject, "", "file-1", responsecode);
        EXPECT_EQ(args, u"prj-fjordbridge||file-1") << c.name;
        EXPECT_EQ(responsecode, 200) << c.name;
        ASSERT_EQ(info.has_value(), c.expected.has_value()) << c.name;
        if (!info) continue;
        EXPECT_EQ(info->connectedFileId, c.expected->connectedFileId) << c.name;
        EXPECT_EQ(info->clientProvidedId, c.expected->clientProvidedId) << c.name;
        EXPECT_EQ(info->fileType, c.expected->fileType) << c.name;
        EXPECT_EQ(info->resolution, c.expected->resolution) << c.name;
    }
}

TEST_F(ModelFiles, GetZelvoCorrelatedFileIdTellsNullFromEmpty) {
    const struct {
        const char* name;
        Handle<String> answer;
        std::optional<std::string> expected;
    } cases[] = {{"null", nullptr, std::nullopt},
                 {"empty", S(u""), std::string()},
                 {"text", S(u"act-\u00C5"), std::string("act-\xC5")}};
    for (const auto& c : cases) {
        std::u16string args;
        auto g = Sandbox::script<&VeskoIntegration::GetZelvoCorrelatedFileId>(
            [&](Handle<String> p, Handle<String> partition, Handle<String> f, int&) {
                args = T(p) + u"|" + T(partition) + u"|" + T(f);
                return c.answer;
            });
        int responsecode = 0;
        EXPECT_EQ(oi::GetZelvoCorrelatedFileId(kProject, "estimated", "est-1", responsecode), c.expected) << c.name;
        EXPECT_EQ(args, u"prj-fjordbridge|estimated|est-1");
    }
}

TEST_F(ModelFiles, GetZelvoCorrelationsAnswers) {
    struct Case {
        const char* name;
        std::function<CorrelationList()> answer;
        std::vector<std::string> expected; // estimated/actual
    };
    using L = List<Handle<api::ZelvoCorrelation>>;
    const Case cases[] = {
        {"null", [] { return CorrelationList(); }, {}},
        {"empty", [] { return gcnew<L>(); }, {}},
        {"two_in_order",
         [] {
             return listOf<Handle<api::ZelvoCorrelation>>(
                 {correlation(S(u"e2"), S(u"a2")), correlation(nullptr, S(u"a1"))});
         },
         {"e2/a2", "/a1"}},
        {"null_element_drops_all",
         [] {
             return listOf<Handle<api::ZelvoCorrelation>>(
                 {correlation(S(u"e1"), S(u"a1")), nullptr, correlation(S(u"e3"), S(u"a3"))});
         },
         {}},
    };
    for (const auto& c : cases) {
        std::u16string args;
        auto g = Sandbox::script<&VeskoIntegration::GetZelvoCorrelations>(
            [&](Handle<String> p, Handle<String> partition, int&) {
                args = T(p) + u"|" + T(partition);
                return c.answer();
            });
        int responsecode = 0;
        std::vector<std::string> got;
        for (const auto& r : oi::GetZelvoCorrelations(kProject, "", responsecode))
            got.push_back(r.estimatedFileConnectedId + "/" + r.actualFileConnectedId);
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_EQ(args, u"prj-fjordbridge|") << c.name;
    }
}

TEST_F(ModelFiles, StringOnlyFunctionsPassTheirArgumentsInOrder) {
    std::u16string correlate, uncorrelate, deleteModel, revisionOf;
    auto a = Sandbox::script<&VeskoIntegration::SetZelvoCorrelatedFiles>(
        [&](Handle<String> p, Handle<String> e, Handle<String> f, int& code) {
            correlate = T(p) + u"|" + T(e) + u"|" + T(f);
            code = 201;
        });
    auto b = Sandbox::script<&VeskoIntegration::DeleteZelvoCorrelatedFiles>(
        [&](Handle<String> p, Handle<String> f, int&) { uncorrelate = T(p) + u"|" + T(f); });
    auto c = Sandbox::script<&VeskoIntegration::DeleteZelvoModel>(
        [&](Handle<String> p, Handle<String> f, int&) { deleteModel = T(p) + u"|" + T(f); });
    auto d = Sandbox::script<&VeskoIntegration::GetZelvoModelRevision>([&](Handle<String> p, Handle<String> f, int&) {
        revisionOf = T(p) + u"|" + T(f);
        return Handle<api::ZelvoModelRevision>();
    });
    int responsecode = 0;
    oi::SetZelvoCorrelatedFiles(kProject, "est", "act", responsecode);
    EXPECT_EQ(responsecode, 201);
    oi::DeleteZelvoCorrelatedFiles("", "act", responsecode);
    oi::DeleteZelvoModel(kProject, "", responsecode);
    EXPECT_EQ(oi::GetZelvoModelRevision(kProject, "f\xE6", responsecode), std::nullopt);
    EXPECT_EQ(correlate, u"prj-fjordbridge|est|act");
    EXPECT_EQ(uncorrelate, u"|act");
    EXPECT_EQ(deleteModel, u"prj-fjordbridge|");
    EXPECT_EQ(revisionOf, u"prj-fjordbridge|f\u00E6");
}

TEST_F(ModelFiles, GetZelvoModelRevisionWithNullETag) {
    auto g = Sandbox::script<&VeskoIntegration::GetZelvoModelRevision>([](Handle<String>, Handle<String>, int&) {
        auto revision = gcnew<api::ZelvoModelRevision>();
        revision->Revision = 7;
        return revision;
    });
    int responsecode = 0;
    const auto revision = oi::GetZelvoModelRevision(kProject, "f", responsecode);
    ASSERT_TRUE(revision.has_value());
    EXPECT_EQ(revision->etag, "");
    EXPECT_EQ(revision->revision, 7);
}

TEST_F(ModelFiles, PutZelvoModelHandsOverGeometriesAndNumbersUnchanged) {
    const struct { int fileRevision, epsgId; } cases[] = {{1, 25832}, {0, 0}, {-1, -4326}, {INT_MIN, INT_MAX}};
    for (const auto& c : cases) {
        GeometryList seen;
        std::u16string args;
        int revisionSeen = 42, epsgSeen = 42;
        auto g = Sandbox::script<&VeskoIntegration::PutZelvoModel>(
            [&](GeometryList list, Handle<String> p, Handle<String> f, int rev, Handle<String> sum, int epsg, int&) {
                seen = list;
                args = T(p) + u"|" + T(f) + u"|" + T(sum);
                revisionSeen = rev, epsgSeen = epsg;
            });
        int responsecode = 0;
        oi::PutZelvoModel(
            {geometry("LINESTRING(0 0,1 1)", ZelvoGeometryType::boundary), geometry("", ZelvoGeometryType::lineDef)},
            kProject, "file-1", c.fileRevision, "", c.epsgId, responsecode);
        EXPECT_EQ(revisionSeen, c.fileRevision);
        EXPECT_EQ(epsgSeen, c.epsgId);
        EXPECT_EQ(args, u"prj-fjordbridge|file-1|");
        ASSERT_FALSE(seen == nullptr);
        ASSERT_EQ(seen->Count(), 2);
        EXPECT_EQ(T((*seen)[0]->Geometry), u"LINESTRING(0 0,1 1)");
        EXPECT_EQ(nameOf((*seen)[0]->Metadata->Type), u"boundary");
        EXPECT_EQ(T((*seen)[0]->Metadata->Text), u"label");
        EXPECT_EQ((*seen)[0]->Metadata->TextLength, 5.0);
        EXPECT_EQ(T((*seen)[1]->Geometry), u"");
        EXPECT_EQ(nameOf((*seen)[1]->Metadata->Type), u"lineDef");
    }
}

TEST_F(ModelFiles, PutZelvoModelWithNoGeometriesStillCallsTheService) {
    GeometryList seen;
    auto g = Sandbox::script<&VeskoIntegration::PutZelvoModel>(
        [&](GeometryList list, Handle<String>, Handle<String>, int, Handle<String>, int, int&) { seen = list; });
    int responsecode = 0;
    oi::PutZelvoModel({}, kProject, "file-1", 1, "sum", 25832, responsecode);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::PutZelvoModel>(), 1);
    ASSERT_FALSE(seen == nullptr);
    EXPECT_EQ(seen->Count(), 0);
}

TEST_F(ModelFiles, OneUnnamedGeometryTypeStopsTheWholeUpload) {
    int responsecode = 7;
    EXPECT_NO_THROW(oi::PutZelvoModel({geometry("g1", ZelvoGeometryType::lineDef),
                                       geometry("g2", static_cast<ZelvoGeometryType>(3)),
                                       geometry("g3", ZelvoGeometryType::lineAnn)},
                                      kProject, "file-1", 1, "sum", 25832, responsecode));
    EXPECT_EQ(responsecode, 7);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::PutZelvoModel>(), 0);
}

TEST_F(ModelFiles, AnArgumentThatDoesNotConvertNeverReachesTheService) {
    CodePageScope unsupported(12345);
    int responsecode = 7;
    EXPECT_EQ(oi::GetZelvoFileInfo(kProject, "", "f", responsecode), std::nullopt);
    oi::PutZelvoModel({}, kProject, "f", 1, "sum", 25832, responsecode);
    EXPECT_EQ(responsecode, 7);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::GetZelvoFileInfo>(), 0);
    EXPECT_EQ(Sandbox::callCount<&VeskoIntegration::PutZelvoModel>(), 0);
}

namespace {

struct Failure {
    const char* name;
    std::function<void()> raise;
};

const Failure kFailures[] = {
    {"invalid_operation", [] { throw System::InvalidOperationException(u"service down"); }},
    {"int", [] { throw 42; }},
};

class ModelFilesFailure : public HostTest, public ::testing::WithParamInterface<Failure> {};

} // namespace

TEST_P(ModelFilesFailure, EveryFunctionGivesItsFallbackAndKeepsTheServiceCode) {
    const auto& raise = GetParam().raise;
    // Each operation writes 500 before raising, so the code the host sees is the service's.
    const auto fail = [&](int& code) {
        code = 500;
        raise();
    };
    auto s1 = Sandbox::script<&VeskoIntegration::SetZelvoFileInfo>(
        [&](Handle<String>, Handle<String>, Handle<api::ZelvoFileInfo>, int& code) { fail(code); });
    auto s2 = Sandbox::script<&VeskoIntegration::GetZelvoFileInfo>(
        [&](Handle<String>, Handle<String>, Handle<String>, int& code) {
            fail(code);
            return gcnew<api::ZelvoFileInfo>();
        });
    auto s3 = Sandbox::script<&VeskoIntegration::GetZelvoCorrelatedFileId>(
        [&](Handle<String>, Handle<String>, Handle<String>, int& code) {
            fail(code);
            return S(u"act");
        });
    auto s4 = Sandbox::script<&VeskoIntegration::SetZelvoCorrelatedFiles>(
        [&](Handle<String>, Handle<String>, Handle<String>, int& code) { fail(code); });
    auto s5 = Sandbox::script<&VeskoIntegration::DeleteZelvoCorrelatedFiles>(
        [&](Handle<String>, Handle<String>, int& code) { fail(code); });
    auto s6 = Sandbox::script<&VeskoIntegration::GetZelvoCorrelations>([&](Handle<String>, Handle<String>, int& code) {
        fail(code);
        return listOf<Handle<api::ZelvoCorrelation>>({correlation(S(u"e"), S(u"a"))});
    });
    auto s7 = Sandbox::script<&VeskoIntegration::PutZelvoModel>(
        [&](GeometryList, Handle<String>, Handle<String>, int, Handle<String>, int, int& code) { fail(code); });
    auto s8 = Sandbox::script<&VeskoIntegration::DeleteZelvoModel>(
        [&](Handle<String>, Handle<String>, int& code) { fail(code); });
    auto s9 = Sandbox::script<&VeskoIntegration::GetZelvoModelRevision>([&](Handle<String>, Handle<String>, int& code) {
        fail(code);
        return gcnew<api::ZelvoModelRevision>();
    });

    const std::vector<std::function<void(int&)>> calls = {
        [](int& rc) { oi::SetZelvoFileInfo(kProject, "f", ZelvoFileInfo{}, rc); },
        [](int& rc) { EXPECT_EQ(oi::GetZelvoFileInfo(kProject, "", "f", rc), std::nullopt); },
        [](int& rc) { EXPECT_EQ(oi::GetZelvoCorrelatedFileId(kProject, "", "f", rc), std::nullopt); },
        [](int& rc) { oi::SetZelvoCorrelatedFiles(kProject, "e", "a", rc); },
        [](int& rc) { oi::DeleteZelvoCorrelatedFiles(kProject, "f", rc); },
        [](int& rc) { EXPECT_TRUE(oi::GetZelvoCorrelations(kProject, "", rc).empty()); },
        [](int& rc) { oi::PutZelvoModel({geometry("g", ZelvoGeometryType::lineDef)}, kProject, "f", 1, "s", 1, rc); },
        [](int& rc) { oi::DeleteZelvoModel(kProject, "f", rc); },
        [](int& rc) { EXPECT_EQ(oi::GetZelvoModelRevision(kProject, "f", rc), std::nullopt); },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        int responsecode = 0;
        EXPECT_NO_THROW(calls[i](responsecode)) << "function " << i;
        EXPECT_EQ(responsecode, 500) << "function " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Raises, ModelFilesFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ModelFiles, AgainstTheSandbox) {
    int responsecode = 0;
    oi::SetZelvoFileInfo(kProject, "file-est", ZelvoFileInfo{"conn-est", "client-est", ZelvoFileType::Estimated, 5},
                         responsecode);
    EXPECT_EQ(responsecode, 201);
    oi::SetZelvoFileInfo(kProject, "file-act", ZelvoFileInfo{"conn-act", "", ZelvoFileType::Actual, 1}, responsecode);
    EXPECT_EQ(responsecode, 201);
    oi::SetZelvoFileInfo(kProject, "file-act", ZelvoFileInfo{"conn-act", "client-act", ZelvoFileType::Actual, 10},
                         responsecode);
    EXPECT_EQ(responsecode, 200); // a second description replaces the first

    const auto info = oi::GetZelvoFileInfo(kProject, "actual", "file-act", responsecode);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(responsecode, 200);
    EXPECT_EQ(info->clientProvidedId, "client-act");
    EXPECT_EQ(info->fileType, ZelvoFileType::Actual);
    EXPECT_EQ(info->resolution, 10);
    EXPECT_EQ(oi::GetZelvoFileInfo(kProject, "actual", "file-est", responsecode), std::nullopt);
    EXPECT_EQ(responsecode, 404); // the partition admits only files of its kind

    oi::SetZelvoCorrelatedFiles(kProject, "file-est", "file-undescribed", responsecode);
    EXPECT_EQ(responsecode, 404);
    oi::SetZelvoCorrelatedFiles(kProject, "file-est", "file-act", responsecode);
    EXPECT_EQ(responsecode, 201);
    EXPECT_EQ(oi::GetZelvoCorrelatedFileId(kProject, "", "file-est", responsecode), "file-act");
    EXPECT_EQ(oi::GetZelvoCorrelatedFileId(kProject, "actual", "file-act", responsecode), "file-est");
    const auto pairs = oi::GetZelvoCorrelations(kProject, "", responsecode);
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].estimatedFileConnectedId, "file-est");
    EXPECT_EQ(pairs[0].actualFileConnectedId, "file-act");

    const std::vector<ZelvoModelGeometry> model{geometry("LINESTRING(0 0,1 1)", ZelvoGeometryType::boundary)};
    oi::PutZelvoModel(model, kProject, "file-est", 1, "abc", 25832, responsecode);
    EXPECT_EQ(responsecode, 201);
    oi::PutZelvoModel(model, kProject, "file-est", 1, "def", 25832, responsecode);
    EXPECT_EQ(responsecode, 200);
    const auto revision = oi::GetZelvoModelRevision(kProject, "file-est", responsecode);
    ASSERT_TRUE(revision.has_value());
    EXPECT_EQ(revision->revision, 2);
    EXPECT_EQ(revision->etag, "\"def\"");

    oi::DeleteZelvoModel(kProject, "file-est", responsecode);
    EXPECT_EQ(responsecode, 204);
    EXPECT_EQ(oi::GetZelvoModelRevision(kProject, "file-est", responsecode), std::nullopt);
    EXPECT_EQ(responsecode, 404);

    oi::DeleteZelvoCorrelatedFiles(kProject, "file-act", responsecode); // either side removes the pair
    EXPECT_EQ(responsecode, 204);
    EXPECT_EQ(oi::GetZelvoCorrelatedFileId(kProject, "", "file-est", responsecode), std::nullopt);
    EXPECT_EQ(responsecode, 404);
    EXPECT_TRUE(oi::GetZelvoCorrelations(kProject, "", responsecode).empty());
    EXPECT_EQ(responsecode, 200);

    EXPECT_TRUE(oi::GetZelvoCorrelations("prj-unknown", "", responsecode).empty());
    EXPECT_EQ(responsecode, 404);
    EXPECT_TRUE(oi::Logout());
    EXPECT_EQ(oi::GetZelvoFileInfo(kProject, "", "file-act", responsecode), std::nullopt);
    EXPECT_EQ(responsecode, 401);
}
