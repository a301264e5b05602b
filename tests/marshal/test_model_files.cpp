// Model-file record conversions: file information, correlations, geometries and revisions.
#include <via/marshal/model_files.h>

#include "support/values.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace via::marshal;
using System::Handle;
using test::CodePageScope;
using test::raised;
using test::S;
using test::T;
namespace api = OrvaneModule::ApiModels;

namespace {

template <class E>
std::u16string nameOf(E value) {
    return std::u16string(System::Enum::ToString(value)->View());
}

Handle<api::ZelvoFileInfo> serviceInfo(Handle<System::String> connected, Handle<System::String> client,
                                       api::ZelvoFileType type, std::int32_t resolution) {
    auto info = System::gcnew<api::ZelvoFileInfo>();
    info->ConnectedFileId = std::move(connected);
    info->ClientProvidedId = std::move(client);
    info->ZelvoFileType = type;
    info->Resolution = resolution;
    return info;
}

Handle<api::ZelvoCorrelation> serviceCorrelation(std::u16string_view estimated, std::u16string_view actual) {
    auto correlation = System::gcnew<api::ZelvoCorrelation>();
    correlation->EstimatedFileConnectedId = S(estimated);
    correlation->ActualFileConnectedId = S(actual);
    return correlation;
}

using GeometryList = ServiceList<Handle<api::ZelvoModelGeometry>>;
using CorrelationList = ServiceList<Handle<api::ZelvoCorrelation>>;

class ModelFiles : public ::testing::Test {
protected:
    CodePageScope codePage_{1252};
};

} // namespace

TEST_F(ModelFiles, DefaultFileInfoReachesTheServiceWithEmptyStringsAndNone) {
    const auto info = marshal_as<Handle<api::ZelvoFileInfo>>(ZelvoFileInfo{});
    ASSERT_FALSE(info->ConnectedFileId == nullptr);
    ASSERT_FALSE(info->ClientProvidedId == nullptr);
    EXPECT_EQ(T(info->ConnectedFileId), u"");
    EXPECT_EQ(T(info->ClientProvidedId), u"");
    EXPECT_EQ(nameOf(info->ZelvoFileType), u"None");
    EXPECT_EQ(info->Resolution, 0);
}

TEST_F(ModelFiles, FileInfoCrossesBothWaysFieldByField) {
    const ZelvoFileInfo native{"conn-\xE6", "client-7", ZelvoFileType::Actual, -25};
    const auto service = marshal_as<Handle<api::ZelvoFileInfo>>(native);
    EXPECT_EQ(T(service->ConnectedFileId), u"conn-\u00E6");
    EXPECT_EQ(T(service->ClientProvidedId), u"client-7");
    EXPECT_EQ(service->ZelvoFileType, api::ZelvoFileType::Actual);
    EXPECT_EQ(service->Resolution, -25);

    const auto back = marshal_as<ZelvoFileInfo>(service);
    EXPECT_EQ(back.connectedFileId, native.connectedFileId);
    EXPECT_EQ(back.clientProvidedId, native.clientProvidedId);
    EXPECT_EQ(back.fileType, ZelvoFileType::Actual);
    EXPECT_EQ(back.resolution, -25);
}

TEST_F(ModelFiles, FileTypesCrossByNameNotByNumber) {
    for (const auto type : magic_enum::enum_values<ZelvoFileType>()) {
        const auto name = magic_enum::enum_name(type);
        const auto service = marshal_as<Handle<api::ZelvoFileInfo>>(ZelvoFileInfo{"", "", type, 0});
        EXPECT_EQ(nameOf(service->ZelvoFileType), std::u16string(name.begin(), name.end()));
        EXPECT_EQ(marshal_as<ZelvoFileInfo>(service).fileType, type);
    }
}

TEST_F(ModelFiles, NullServiceStringsGiveEmptyFields) {
    const auto info = marshal_as<ZelvoFileInfo>(serviceInfo(nullptr, nullptr, api::ZelvoFileType::Estimated, 4));
    EXPECT_EQ(info.connectedFileId, "");
    EXPECT_EQ(info.clientProvidedId, "");
    EXPECT_EQ(info.fileType, ZelvoFileType::Estimated);
    EXPECT_EQ(info.resolution, 4);

    auto correlation = System::gcnew<api::ZelvoCorrelation>();
    const auto native = marshal_as<ZelvoCorrelation>(correlation);
    EXPECT_EQ(native.estimatedFileConnectedId, "");
    EXPECT_EQ(native.actualFileConnectedId, "");
}

TEST_F(ModelFiles, ActualAndEstimatedIsReadByItsName) {
    // The service numbers it 1000, the host 3: only a conversion by name gives the right value.
    const auto info =
        marshal_as<ZelvoFileInfo>(serviceInfo(S(u"c"), S(u"k"), api::ZelvoFileType::ActualAndEstimated, 0));
    EXPECT_EQ(info.fileType, ZelvoFileType::ActualAndEstimated);
}

TEST_F(ModelFiles, FileTypeWithoutAName) {
    // Service value 3 is the host's number for ActualAndEstimated but has no service name.
    const auto unnamedService = serviceInfo(S(u"c"), S(u"k"), static_cast<api::ZelvoFileType>(3), 0);
    EXPECT_EQ(
        T(raised<System::InvalidCastException>([&] { (void)marshal_as<ZelvoFileInfo>(unnamedService); }).Message()),
        u"csEnum");

    const ZelvoFileInfo unnamedNative{"c", "k", static_cast<ZelvoFileType>(4), 0};
    EXPECT_EQ(T(raised<System::InvalidCastException>([&] {
                    (void)marshal_as<Handle<api::ZelvoFileInfo>>(unnamedNative);
                }).Message()),
              u"cppEnum");
}

TEST_F(ModelFiles, OptionalRecordsAreEmptyOnlyForNullObjects) {
    EXPECT_EQ(marshal_as<std::optional<ZelvoFileInfo>>(Handle<api::ZelvoFileInfo>()), std::nullopt);
    EXPECT_EQ(marshal_as<std::optional<ZelvoModelRevision>>(Handle<api::ZelvoModelRevision>()), std::nullopt);

    const auto info =
        marshal_as<std::optional<ZelvoFileInfo>>(serviceInfo(S(u""), S(u"k"), api::ZelvoFileType::None, 9));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->clientProvidedId, "k");
    EXPECT_EQ(info->resolution, 9);
}

TEST_F(ModelFiles, RevisionWithNullETag) {
    auto service = System::gcnew<api::ZelvoModelRevision>();
    service->Revision = 7;
    const auto revision = marshal_as<std::optional<ZelvoModelRevision>>(service);
    ASSERT_TRUE(revision.has_value());
    EXPECT_EQ(revision->etag, "");
    EXPECT_EQ(revision->revision, 7);

    service->ETag = S(u"\"abc\"");
    EXPECT_EQ(marshal_as<ZelvoModelRevision>(service).etag, "\"abc\"");
}

TEST_F(ModelFiles, NullObjectsOutsideTheOptionalFormsFail) {
    EXPECT_THROW((void)marshal_as<ZelvoFileInfo>(Handle<api::ZelvoFileInfo>()), System::NullReferenceException);
    EXPECT_THROW((void)marshal_as<ZelvoModelRevision>(Handle<api::ZelvoModelRevision>()),
                 System::NullReferenceException);
    EXPECT_THROW((void)marshal_as<ZelvoCorrelation>(Handle<api::ZelvoCorrelation>()), System::NullReferenceException);
}

TEST_F(ModelFiles, CorrelationsKeepListOrderAndSides) {
    const auto list = test::listOf<Handle<api::ZelvoCorrelation>>(
        {serviceCorrelation(u"est-1", u"act-1"), serviceCorrelation(u"est-2", u"act-2")});
    const auto correlations = marshal_as<std::vector<ZelvoCorrelation>>(list);
    ASSERT_EQ(correlations.size(), 2u);
    EXPECT_EQ(correlations[0].estimatedFileConnectedId, "est-1");
    EXPECT_EQ(correlations[0].actualFileConnectedId, "act-1");
    EXPECT_EQ(correlations[1].estimatedFileConnectedId, "est-2");
    EXPECT_EQ(correlations[1].actualFileConnectedId, "act-2");
}

TEST_F(ModelFiles, ANullCorrelationFailsTheWholeList) {
    const auto list = test::listOf<Handle<api::ZelvoCorrelation>>(
        {serviceCorrelation(u"e1", u"a1"), nullptr, serviceCorrelation(u"e3", u"a3")});
    EXPECT_THROW((void)marshal_as<std::vector<ZelvoCorrelation>>(list), System::NullReferenceException);
    EXPECT_THROW((void)marshal_as<std::vector<ZelvoCorrelation>>(CorrelationList()), System::ArgumentNullException);
}

TEST_F(ModelFiles, BoundaryGeometryReachesTheServiceWithItsMetadata) {
    const ZelvoModelGeometry geometry{"LINESTRING(0 0, 1 1)", {ZelvoGeometryType::boundary, "Gr\xF8nn", 12.5}};
    const auto service = marshal_as<Handle<api::ZelvoModelGeometry>>(geometry);
    EXPECT_EQ(T(service->Geometry), u"LINESTRING(0 0, 1 1)");
    ASSERT_FALSE(service->Metadata == nullptr);
    EXPECT_EQ(nameOf(service->Metadata->Type), u"boundary");
    EXPECT_EQ(T(service->Metadata->Text), u"Gr\u00F8nn");
    EXPECT_EQ(service->Metadata->TextLength, 12.5);
}

TEST_F(ModelFiles, GeometryListKeepsOrderAndGivesEachGeometryItsOwnMetadata) {
    const ZelvoModelMetadata same{ZelvoGeometryType::lineAnn, "", 0.0};
    const std::vector<ZelvoModelGeometry> geometries{{"g1", same}, {"", same}};
    const auto list = marshal_as<GeometryList>(geometries);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(T((*list)[0]->Geometry), u"g1");
    EXPECT_EQ(T((*list)[1]->Geometry), u""); // empty, not null
    EXPECT_EQ(T((*list)[1]->Metadata->Text), u"");
    EXPECT_EQ((*list)[0]->Metadata->Type, api::ZelvoGeometryType::lineAnn);
    EXPECT_NE((*list)[0]->Metadata.get(), (*list)[1]->Metadata.get());

    const auto empty = marshal_as<GeometryList>(std::vector<ZelvoModelGeometry>());
    ASSERT_FALSE(empty == nullptr);
    EXPECT_EQ(empty->Count(), 0);
}

TEST_F(ModelFiles, AGeometryTypeWithoutANameFailsTheWholeList) {
    const ZelvoModelGeometry unnamed{"g", {static_cast<ZelvoGeometryType>(7), "t", 1.0}};
    EXPECT_EQ(T(raised<System::InvalidCastException>([&] {
                    (void)marshal_as<Handle<api::ZelvoModelGeometry>>(unnamed);
                }).Message()),
              u"cppEnum");

    const std::vector<ZelvoModelGeometry> geometries{{"g1", {ZelvoGeometryType::lineDef, "", 0.0}}, unnamed};
    EXPECT_EQ(T(raised<System::InvalidCastException>([&] { (void)marshal_as<GeometryList>(geometries); }).Message()),
              u"cppEnum");
}
