// Service model classes of projects, contracts and posts.
#pragma once

#include <OrvaneModule/Enumerations.h>
#include <OrvaneModule/MeasurementModels.h>
#include <System/DateTime.h>
#include <System/List.h>
#include <System/Nullable.h>
#include <System/String.h>

#include <cstdint>

namespace OrvaneModule::ApiModels {

struct Post : BaseEntity {
    Handle<String> PostNumber;
    Handle<String> Title;
    Handle<String> InternalNote;
    System::DateTime DateCreated;
    System::DateTime DateModified;
    Handle<String> Unit;
    double ContractQuantity = 0.0;
    double AccumulatedQuantity = 0.0;
};

struct RelatedContract : BaseEntity {
    Handle<String> Name;
};

struct Contract : BaseEntity {
    Handle<String> Name;
    Handle<String> Prefix;
    Handle<String> Number;
    Handle<String> Standard;
    Handle<String> Type;
    Handle<String> Status;
    System::DateTime DateCreated;
    System::DateTime DateModified;
    Handle<List<Handle<Post>>> posts;
    // Qualified: the property carries the same name as its class.
    Handle<::OrvaneModule::ApiModels::RelatedContract> RelatedContract;
};

struct ContractMeta {
    Handle<List<Handle<Contract>>> contracts;
};

struct ReportDueDate {
    Handle<String> Name;
    System::DateTime DueDate;
};

struct Project : BaseEntity {
    Handle<String> Name;
    Handle<String> ProjectNumber;
    Handle<String> CustomerName;
    System::Nullable<System::DateTime> DateCreated;
    System::Nullable<System::DateTime> DateModified;
    Handle<List<Handle<ReportDueDate>>> ReportDueDates;
};

struct PostNumberPartCode {
    Handle<String> Code;
    Handle<String> Description;
};

struct PostNumberPartDefinition {
    PostNumberPartType Type{};
    Handle<String> Name;
    std::int32_t Length = 0;
    Handle<List<Handle<PostNumberPartCode>>> Codes;
};

} // namespace OrvaneModule::ApiModels

namespace OrvaneModule::Models {

// A post flattened with the id and type of its contract, as the service lists a project's posts.
struct ContractPost {
    System::Handle<System::String> Id;
    System::Handle<System::String> PostNumber;
    System::Handle<System::String> Title;
    System::Handle<System::String> Unit;
    bool Visible = false;
    System::Handle<System::String> ContractId;
    System::Handle<System::String> ContractType;
};

} // namespace OrvaneModule::Models
