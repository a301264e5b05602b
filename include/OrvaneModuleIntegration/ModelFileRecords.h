// Model-file records: file information, correlations, model uploads and revisions.
#pragma once

#include <OrvaneModuleIntegration/Enumerations.h>

#include <cstdint>
#include <string>

struct ZelvoFileInfo {
    std::string connectedFileId;
    std::string clientProvidedId;
    ZelvoFileType fileType = ZelvoFileType::None;
    std::int32_t resolution = 0;
};

// A file with estimated quantities and the file with the matching actual quantities.
struct ZelvoCorrelation {
    std::string estimatedFileConnectedId;
    std::string actualFileConnectedId;
};

struct ZelvoModelMetadata {
    ZelvoGeometryType type = ZelvoGeometryType::lineDef;
    std::string text;
    double textLength = 0.0;
};

struct ZelvoModelGeometry {
    std::string geometry;
    ZelvoModelMetadata metadata;
};

struct ZelvoModelRevision {
    std::string etag;
    std::int32_t revision = 0;
};
