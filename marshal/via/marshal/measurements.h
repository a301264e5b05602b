// Measurements: proposals, estimated and actual quantities, their comments, attachments and chainage.
#pragma once

#include <OrvaneModule/MeasurementModels.h>
#include <OrvaneModuleIntegration/MeasurementRecords.h>
#include <via/marshal/collections.h>
#include <via/marshal/enums.h>
#include <via/marshal/text.h>

#include <optional>

namespace via::marshal {

// Towards the service every string and list is set, never null. From the service null text and lists
// read as empty, but a null object is never tested: reading its first property raises
// NullReferenceException, which fails the whole answer (lists included) rather than one element.
// Properties are read and written once each, in a fixed order.

namespace detail {
namespace api = OrvaneModule::ApiModels;
} // namespace detail

// --- chainage ----------------------------------------------------------------------------------------

template <>
struct marshal_traits<System::Handle<detail::api::ChainMass>, ::ChainMass> {
    static System::Handle<detail::api::ChainMass> marshal(const ::ChainMass& from) {
        auto to = System::gcnew<detail::api::ChainMass>();
        to->Mass = from.mass;
        to->Chain = from.chain;
        return to;
    }
};

template <>
struct marshal_traits<::ChainMass, System::Handle<detail::api::ChainMass>> {
    static ::ChainMass marshal(const System::Handle<detail::api::ChainMass>& chainMass) {
        const auto& from = *chainMass;
        ::ChainMass to;
        to.mass = from.Mass;
        to.chain = from.Chain;
        return to;
    }
};

template <>
struct marshal_traits<System::Handle<detail::api::ChainMasses>, ::ChainMasses> {
    static System::Handle<detail::api::ChainMasses> marshal(const ::ChainMasses& from) {
        auto to = System::gcnew<detail::api::ChainMasses>();
        to->Masses = marshal_as<ServiceList<System::Handle<detail::api::ChainMass>>>(from.masses);
        to->Resolution = from.resolution;
        return to;
    }
};

template <>
struct marshal_traits<::ChainMasses, System::Handle<detail::api::ChainMasses>> {
    static ::ChainMasses marshal(const System::Handle<detail::api::ChainMasses>& chainMasses) {
        const auto& from = *chainMasses;
        ::ChainMasses to;
        to.masses = detail::fieldList<::ChainMass>(from.Masses);
        to.resolution = from.Resolution;
        return to;
    }
};

// --- comments and attachments ------------------------------------------------------------------------

template <>
struct marshal_traits<System::Handle<detail::api::Comment>, MeasurementComment> {
    static System::Handle<detail::api::Comment> marshal(const MeasurementComment& from) {
        auto to = System::gcnew<detail::api::Comment>();
        to->Text = marshal_as<System::Handle<System::String>>(from.text);
        to->DateCreated = marshal_as<System::DateTime>(from.dateCreated);
        to->Author = marshal_as<System::Handle<System::String>>(from.author);
        return to;
    }
};

template <>
struct marshal_traits<MeasurementComment, System::Handle<detail::api::Comment>> {
    static MeasurementComment marshal(const System::Handle<detail::api::Comment>& comment) {
        const auto& from = *comment;
        MeasurementComment to;
        to.text = detail::fieldText(from.Text);
        to.dateCreated = marshal_as<TimePoint>(from.DateCreated);
        to.author = detail::fieldText(from.Author);
        return to;
    }
};

template <>
struct marshal_traits<System::Handle<detail::api::Attachment>, MeasurementAttachment> {
    static System::Handle<detail::api::Attachment> marshal(const MeasurementAttachment& from) {
        using System::Handle;
        using System::String;
        auto to = System::gcnew<detail::api::Attachment>();
        to->Id = marshal_as<Handle<String>>(from.id);
        to->Uri = marshal_as<Handle<String>>(from.uri);
        to->Note = marshal_as<Handle<String>>(from.note);
        to->Chainage = marshal_as<Handle<String>>(from.chainage);
        to->DisplayName = marshal_as<Handle<String>>(from.displayName);
        to->OwnerUniqueId = marshal_as<Handle<String>>(from.ownerUniqueId);
        return to;
    }
};

template <>
struct marshal_traits<MeasurementAttachment, System::Handle<detail::api::Attachment>> {
    static MeasurementAttachment marshal(const System::Handle<detail::api::Attachment>& attachment) {
        const auto& from = *attachment;
        MeasurementAttachment to;
        to.id = detail::fieldText(from.Id);
        to.uri = detail::fieldText(from.Uri);
        to.note = detail::fieldText(from.Note);
        to.chainage = detail::fieldText(from.Chainage);
        to.displayName = detail::fieldText(from.DisplayName);
        to.ownerUniqueId = detail::fieldText(from.OwnerUniqueId);
        return to;
    }
};

// --- measurements ------------------------------------------------------------------------------------

// Proposals, estimated and actual quantities all travel as the same service kind, 3; the record has no
// field for it.
template <>
struct marshal_traits<System::Handle<detail::api::Measurement>, MeasurementProposal> {
    static System::Handle<detail::api::Measurement> marshal(const MeasurementProposal& from) {
        using System::Handle;
        using System::String;
        namespace api = detail::api;
        auto to = System::gcnew<api::Measurement>();
        to->Id = marshal_as<Handle<String>>(from.id);
        to->Status = marshal_as<api::ApprovalStatus>(from.status);
        to->Type = static_cast<api::MeasurementType>(3);
        to->DateCreated = marshal_as<System::DateTime>(from.dateCreated);
        to->Description = marshal_as<Handle<String>>(from.description);
        to->Item = System::gcnew<api::MeasurementItemShort>();
        to->Item->ClientProvidedId = marshal_as<Handle<String>>(from.clientProvidedId);
        to->Item->ConnectedFileId = marshal_as<Handle<String>>(from.connectedFileId);
        to->Item->Name = marshal_as<Handle<String>>(from.name);
        to->Item->FileRevision = from.fileRevision;
        to->Item->etag = marshal_as<Handle<String>>(from.etag);
        to->PostId = marshal_as<Handle<String>>(from.postId);
        to->Quantity = from.quantity;
        // Without stations there is no distribution to send, so the resolution goes too.
        if (!from.chainage.masses.empty()) to->Chainage = marshal_as<Handle<api::ChainMasses>>(from.chainage);
        to->Creator = marshal_as<Handle<String>>(from.creator);
        to->Comments = marshal_as<ServiceList<Handle<api::Comment>>>(from.comments);
        to->Attachments = marshal_as<ServiceList<Handle<api::Attachment>>>(from.attachments);
        return to;
    }
};

template <>
struct marshal_traits<MeasurementProposal, System::Handle<detail::api::Measurement>> {
    static MeasurementProposal marshal(const System::Handle<detail::api::Measurement>& measurement) {
        const auto& from = *measurement;
        MeasurementProposal to;
        to.status = marshal_as<ApprovalStatus>(from.Status);
        to.id = detail::fieldText(from.Id);
        to.dateCreated = marshal_as<TimePoint>(from.DateCreated);
        to.description = detail::fieldText(from.Description);
        // The item is required: a measurement without one fails here.
        const auto& item = *from.Item;
        to.clientProvidedId = detail::fieldText(item.ClientProvidedId);
        to.connectedFileId = detail::fieldText(item.ConnectedFileId);
        to.name = detail::fieldText(item.Name);
        to.fileRevision = item.FileRevision;
        to.etag = detail::fieldText(item.etag);
        to.postId = detail::fieldText(from.PostId);
        to.quantity = from.Quantity;
        if (auto chainage = marshal_as<std::optional<::ChainMasses>>(from.Chainage)) to.chainage = std::move(*chainage);
        to.creator = detail::fieldText(from.Creator);
        to.comments = detail::fieldList<MeasurementComment>(from.Comments);
        to.attachments = detail::fieldList<MeasurementAttachment>(from.Attachments);
        return to;
    }
};

// --- results only ------------------------------------------------------------------------------------

template <>
struct marshal_traits<::MeasurementItemFileTotal, System::Handle<detail::api::MeasurementItemFileTotal>> {
    static ::MeasurementItemFileTotal marshal(const System::Handle<detail::api::MeasurementItemFileTotal>& total) {
        const auto& from = *total;
        ::MeasurementItemFileTotal to;
        to.contractId = detail::fieldText(from.contractId);
        to.postId = detail::fieldText(from.postId);
        to.connectedFileId = detail::fieldText(from.connectedFileId);
        to.clientProvidedId = detail::fieldText(from.clientProvidedId);
        to.accumulatedQuantity = from.accumulatedQuantity;
        to.dateCreated = marshal_as<TimePoint>(from.dateCreated);
        to.dateModified = marshal_as<TimePoint>(from.dateModified);
        to.etag = detail::fieldText(from.etag);
        to.id = detail::fieldText(from.id);
        return to;
    }
};

template <>
struct marshal_traits<::HistoricalQuantity, System::Handle<detail::api::HistoricalQuantity>> {
    static ::HistoricalQuantity marshal(const System::Handle<detail::api::HistoricalQuantity>& quantity) {
        const auto& from = *quantity;
        ::HistoricalQuantity to;
        to.id = detail::fieldText(from.Id);
        to.dateCreated = marshal_as<TimePoint>(from.DateCreated);
        to.quantity = from.Quantity;
        return to;
    }
};

} // namespace via::marshal
