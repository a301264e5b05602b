// Model files: file information, correlations, model geometries with their metadata, model revisions.
#pragma once

#include <OrvaneModule/ModelFileModels.h>
#include <OrvaneModuleIntegration/ModelFileRecords.h>
#include <via/marshal/collections.h>
#include <via/marshal/enums.h>
#include <via/marshal/text.h>

// The optional records (null object: no value), the correlation vector and the geometry list come from
// the generic forms of collections.h; only the records themselves are converted here. Like every
// record conversion, these read a null service object's first property and so raise
// NullReferenceException.
namespace via::marshal {

namespace detail {
namespace api = OrvaneModule::ApiModels;
} // namespace detail

template <>
struct marshal_traits<System::Handle<detail::api::ZelvoFileInfo>, ZelvoFileInfo> {
    static System::Handle<detail::api::ZelvoFileInfo> marshal(const ZelvoFileInfo& from) {
        auto to = System::gcnew<detail::api::ZelvoFileInfo>();
        to->ConnectedFileId = marshal_as<System::Handle<System::String>>(from.connectedFileId);
        to->ClientProvidedId = marshal_as<System::Handle<System::String>>(from.clientProvidedId);
        to->ZelvoFileType = marshal_as<detail::api::ZelvoFileType>(from.fileType);
        to->Resolution = from.resolution;
        return to;
    }
};

template <>
struct marshal_traits<ZelvoFileInfo, System::Handle<detail::api::ZelvoFileInfo>> {
    static ZelvoFileInfo marshal(const System::Handle<detail::api::ZelvoFileInfo>& from) {
        ZelvoFileInfo to;
        to.connectedFileId = detail::fieldText(from->ConnectedFileId);
        to.clientProvidedId = detail::fieldText(from->ClientProvidedId);
        to.fileType = marshal_as<ZelvoFileType>(from->ZelvoFileType);
        to.resolution = from->Resolution;
        return to;
    }
};

template <>
struct marshal_traits<ZelvoCorrelation, System::Handle<detail::api::ZelvoCorrelation>> {
    static ZelvoCorrelation marshal(const System::Handle<detail::api::ZelvoCorrelation>& from) {
        ZelvoCorrelation to;
        to.estimatedFileConnectedId = detail::fieldText(from->EstimatedFileConnectedId);
        to.actualFileConnectedId = detail::fieldText(from->ActualFileConnectedId);
        return to;
    }
};

template <>
struct marshal_traits<System::Handle<detail::api::ZelvoModelMetadata>, ZelvoModelMetadata> {
    static System::Handle<detail::api::ZelvoModelMetadata> marshal(const ZelvoModelMetadata& from) {
        auto to = System::gcnew<detail::api::ZelvoModelMetadata>();
        to->Type = marshal_as<detail::api::ZelvoGeometryType>(from.type);
        to->Text = marshal_as<System::Handle<System::String>>(from.text);
        to->TextLength = from.textLength;
        return to;
    }
};

// Each geometry gets metadata of its own, so the service never sees two geometries sharing one object.
template <>
struct marshal_traits<System::Handle<detail::api::ZelvoModelGeometry>, ZelvoModelGeometry> {
    static System::Handle<detail::api::ZelvoModelGeometry> marshal(const ZelvoModelGeometry& from) {
        auto to = System::gcnew<detail::api::ZelvoModelGeometry>();
        to->Geometry = marshal_as<System::Handle<System::String>>(from.geometry);
        to->Metadata = marshal_as<System::Handle<detail::api::ZelvoModelMetadata>>(from.metadata);
        return to;
    }
};

template <>
struct marshal_traits<ZelvoModelRevision, System::Handle<detail::api::ZelvoModelRevision>> {
    static ZelvoModelRevision marshal(const System::Handle<detail::api::ZelvoModelRevision>& from) {
        ZelvoModelRevision to;
        to.etag = detail::fieldText(from->ETag);
        to.revision = from->Revision;
        return to;
    }
};

} // namespace via::marshal
