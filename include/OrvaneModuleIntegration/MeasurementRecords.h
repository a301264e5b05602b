// Measurement records: proposals, estimated and actual quantities, and their companions.
#pragma once

#include <OrvaneModuleIntegration/Enumerations.h>
#include <OrvaneModuleIntegration/TimePoint.h>

#include <cstdint>
#include <string>
#include <vector>

struct MeasurementComment {
    std::string text;
    TimePoint dateCreated{};
    std::string author;
};

struct MeasurementAttachment {
    std::string id;
    std::string uri;
    std::string note;
    std::string chainage;
    std::string displayName;
    std::string ownerUniqueId;
};

// The quantity at one chainage station.
struct ChainMass {
    std::int32_t chain = 0;
    double mass = 0.0;
};

// The distribution of a quantity over chainage stations.
struct ChainMasses {
    std::vector<ChainMass> masses;
    std::int32_t resolution = 0;
};

// One measurement of a contract post: a proposal, an estimated or an actual quantity.
struct MeasurementProposal {
    ApprovalStatus status = ApprovalStatus::NA;
    std::string id;
    TimePoint dateCreated{};
    std::string description;
    std::string clientProvidedId;
    std::string connectedFileId;
    std::string name;
    std::int32_t fileRevision = 0;
    std::string etag;
    std::string postId;
    double quantity = 0.0;
    ChainMasses chainage;
    std::string creator;
    std::vector<MeasurementComment> comments;
    std::vector<MeasurementAttachment> attachments;
};

// The accumulated quantity of one post within one connected file.
struct MeasurementItemFileTotal {
    std::string contractId;
    std::string postId;
    std::string clientProvidedId;
    std::string connectedFileId;
    double accumulatedQuantity = 0.0;
    TimePoint dateCreated{};
    TimePoint dateModified{};
    std::string etag;
    std::string id;
};

// One earlier recorded actual quantity.
struct HistoricalQuantity {
    std::string id;
    TimePoint dateCreated{};
    double quantity = 0.0;
};
