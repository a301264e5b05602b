// Service model classes of model files: file information, correlations, uploads and revisions.
#pragma once

#include <OrvaneModule/Enumerations.h>
#include <OrvaneModule/MeasurementModels.h>

#include <cstdint>

namespace OrvaneModule::ApiModels {

struct ZelvoFileInfo {
    Handle<String> ConnectedFileId;
    Handle<String> ClientProvidedId;
    // Qualified: the property carries the same name as its enumeration.
    ::OrvaneModule::ApiModels::ZelvoFileType ZelvoFileType{};
    std::int32_t Resolution = 0;
};

struct ZelvoCorrelation {
    Handle<String> EstimatedFileConnectedId;
    Handle<String> ActualFileConnectedId;
};

struct ZelvoModelMetadata {
    ZelvoGeometryType Type{};
    Handle<String> Text;
    double TextLength = 0.0;
};

struct ZelvoModelGeometry {
    Handle<String> Geometry;
    Handle<ZelvoModelMetadata> Metadata;
};

struct ZelvoModelRevision {
    std::int32_t Revision = 0;
    Handle<String> ETag;
};

} // namespace OrvaneModule::ApiModels
