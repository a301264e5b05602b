// Service model classes of measurements: proposals, quantities, comments, attachments, chainage.
#pragma once

#include <OrvaneModule/Enumerations.h>
#include <System/DateTime.h>
#include <System/List.h>
#include <System/String.h>

#include <cstdint>

namespace OrvaneModule::ApiModels {

using System::Handle;
using System::String;
using System::Collections::Generic::List;

struct BaseEntity {
    Handle<String> Id;
};

struct MeasurementItemShort {
    Handle<String> ClientProvidedId;
    Handle<String> ConnectedFileId;
    Handle<String> Name;
    std::int32_t FileRevision = 0;
    Handle<String> etag;
};

struct Comment {
    Handle<String> Text;
    System::DateTime DateCreated;
    Handle<String> Author;
};

struct Attachment {
    Handle<String> Id;
    Handle<String> Uri;
    Handle<String> Note;
    Handle<String> Chainage;
    Handle<String> DisplayName;
    Handle<String> OwnerUniqueId;
};

struct ChainMass {
    std::int32_t Chain = 0;
    double Mass = 0.0;
};

struct ChainMasses {
    Handle<List<Handle<ChainMass>>> Masses;
    std::int32_t Resolution = 0;
};

struct Measurement : BaseEntity {
    ApprovalStatus Status{};
    MeasurementType Type{};
    System::DateTime DateCreated;
    Handle<String> Description;
    Handle<MeasurementItemShort> Item;
    Handle<String> PostId;
    double Quantity = 0.0;
    Handle<ChainMasses> Chainage;
    Handle<String> Creator;
    Handle<List<Handle<Comment>>> Comments;
    Handle<List<Handle<Attachment>>> Attachments;
};

// The service spells this class's properties in lower camel case.
struct MeasurementItemFileTotal {
    Handle<String> contractId;
    Handle<String> postId;
    Handle<String> clientProvidedId;
    Handle<String> connectedFileId;
    double accumulatedQuantity = 0.0;
    System::DateTime dateCreated;
    System::DateTime dateModified;
    Handle<String> etag;
    Handle<String> id;
};

struct HistoricalQuantity : BaseEntity {
    double Quantity = 0.0;
    System::DateTime DateCreated;
};

} // namespace OrvaneModule::ApiModels
