// Contracts, posts and projects: service objects to the records the host receives (one direction only).
#pragma once

#include <OrvaneModule/ContractModels.h>
#include <OrvaneModuleIntegration/ContractRecords.h>
#include <via/marshal/collections.h>
#include <via/marshal/enums.h>
#include <via/marshal/text.h>

#include <optional>

namespace via::marshal {

// None of these tests its object for null: a null element or answer fails on its first property, which
// aborts the whole list or call. Only the optional form in collections.h turns a null project into no
// value. Properties are read in a fixed order, which is not the records' field order.

template <>
struct marshal_traits<ContractPost, System::Handle<OrvaneModule::Models::ContractPost>> {
    static ContractPost marshal(const System::Handle<OrvaneModule::Models::ContractPost>& contractPost) {
        const auto& from = *contractPost;
        ContractPost to;
        to.id = detail::fieldText(from.Id);
        to.postNumber = detail::fieldText(from.PostNumber);
        to.title = detail::fieldText(from.Title);
        to.unit = detail::fieldText(from.Unit);
        to.visible = from.Visible;
        to.contractId = detail::fieldText(from.ContractId);
        to.contractType = detail::fieldText(from.ContractType);
        return to;
    }
};

template <>
struct marshal_traits<Post, System::Handle<OrvaneModule::ApiModels::Post>> {
    static Post marshal(const System::Handle<OrvaneModule::ApiModels::Post>& post) {
        const auto& from = *post;
        Post to;
        to.id = detail::fieldText(from.Id);
        to.postNumber = detail::fieldText(from.PostNumber);
        to.title = detail::fieldText(from.Title);
        to.internalNote = detail::fieldText(from.InternalNote);
        to.dateCreated = marshal_as<TimePoint>(from.DateCreated);
        to.dateModified = marshal_as<TimePoint>(from.DateModified);
        to.unit = detail::fieldText(from.Unit);
        to.contractQuantity = from.ContractQuantity;
        to.accumulatedQuantity = from.AccumulatedQuantity;
        return to;
    }
};

template <>
struct marshal_traits<Contract, System::Handle<OrvaneModule::ApiModels::Contract>> {
    static Contract marshal(const System::Handle<OrvaneModule::ApiModels::Contract>& contract) {
        const auto& from = *contract;
        Contract to;
        to.id = detail::fieldText(from.Id);
        to.prefix = detail::fieldText(from.Prefix);
        to.name = detail::fieldText(from.Name);
        to.number = detail::fieldText(from.Number);
        to.standard = detail::fieldText(from.Standard);
        to.type = detail::fieldText(from.Type);
        to.status = detail::fieldText(from.Status);
        to.dateCreated = marshal_as<TimePoint>(from.DateCreated);
        to.dateModified = marshal_as<TimePoint>(from.DateModified);
        to.posts = detail::fieldList<Post>(from.posts);
        // Optional on the service side: no related contract leaves the id empty.
        if (from.RelatedContract != nullptr) to.relatedContractId = detail::fieldText(from.RelatedContract->Id);
        return to;
    }
};

template <>
struct marshal_traits<ContractMeta, System::Handle<OrvaneModule::ApiModels::ContractMeta>> {
    static ContractMeta marshal(const System::Handle<OrvaneModule::ApiModels::ContractMeta>& contractMeta) {
        ContractMeta to;
        to.contracts = detail::fieldList<Contract>(contractMeta->contracts);
        return to;
    }
};

template <>
struct marshal_traits<ReportDueDate, System::Handle<OrvaneModule::ApiModels::ReportDueDate>> {
    static ReportDueDate marshal(const System::Handle<OrvaneModule::ApiModels::ReportDueDate>& reportDueDate) {
        const auto& from = *reportDueDate;
        ReportDueDate to;
        to.name = detail::fieldText(from.Name);
        to.dueDate = marshal_as<TimePoint>(from.DueDate);
        return to;
    }
};

template <>
struct marshal_traits<VeskoProject, System::Handle<OrvaneModule::ApiModels::Project>> {
    static VeskoProject marshal(const System::Handle<OrvaneModule::ApiModels::Project>& project) {
        const auto& from = *project;
        VeskoProject to;
        to.id = detail::fieldText(from.Id);
        to.name = detail::fieldText(from.Name);
        to.projectNumber = detail::fieldText(from.ProjectNumber);
        to.customerName = detail::fieldText(from.CustomerName);
        // Absent dates stay absent: an absent date and the epoch are different answers.
        to.dateCreated = marshal_as<std::optional<TimePoint>>(from.DateCreated);
        to.dateModified = marshal_as<std::optional<TimePoint>>(from.DateModified);
        to.reportDueDates = detail::fieldList<ReportDueDate>(from.ReportDueDates);
        return to;
    }
};

// Post number plans: no function exchanges them, but their lists convert like any other.
template <>
struct marshal_traits<PostNumberPartCode, System::Handle<OrvaneModule::ApiModels::PostNumberPartCode>> {
    static PostNumberPartCode marshal(const System::Handle<OrvaneModule::ApiModels::PostNumberPartCode>& code) {
        const auto& from = *code;
        PostNumberPartCode to;
        to.code = detail::fieldText(from.Code);
        to.description = detail::fieldText(from.Description);
        return to;
    }
};

template <>
struct marshal_traits<PostNumberPartDefinition, System::Handle<OrvaneModule::ApiModels::PostNumberPartDefinition>> {
    static PostNumberPartDefinition
    marshal(const System::Handle<OrvaneModule::ApiModels::PostNumberPartDefinition>& definition) {
        const auto& from = *definition;
        PostNumberPartDefinition to;
        to.type = marshal_as<PostNumberPartType>(from.Type);
        to.name = detail::fieldText(from.Name);
        to.length = from.Length;
        to.codes = detail::fieldList<PostNumberPartCode>(from.Codes);
        return to;
    }
};

} // namespace via::marshal
