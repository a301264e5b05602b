// Contract, post and project records, which the library only produces.
#pragma once

#include <OrvaneModuleIntegration/Enumerations.h>
#include <OrvaneModuleIntegration/TimePoint.h>

#include <optional>
#include <string>
#include <vector>

// A post as the service lists it for a project, with the id and type of its contract.
struct ContractPost {
    std::string id;
    std::string contractId;
    std::string unmappedText;
    std::string postNumber;
    std::string title;
    std::string unit;
    std::string contractType;
    bool visible = false;
};

// A post inside a contract.
struct Post {
    std::string id;
    std::string postNumber;
    std::string title;
    std::string internalNote;
    TimePoint dateCreated{};
    TimePoint dateModified{};
    std::string unit;
    double contractQuantity = 0.0;
    double accumulatedQuantity = 0.0;
};

struct Contract {
    std::string id;
    std::string name;
    std::string prefix;
    std::string number;
    bool unmappedFlag = false;
    TimePoint dateCreated{};
    TimePoint dateModified{};
    std::string standard;
    std::string type;
    std::string status;
    std::string relatedContractId; // empty when the contract has no related contract
    std::vector<Post> posts;
};

struct ContractMeta {
    std::vector<Contract> contracts;
};

struct ReportDueDate {
    std::string unmappedText;
    std::string name;
    TimePoint dueDate{};
};

struct VeskoProject {
    std::string id;
    std::string name;
    std::string projectNumber;
    std::string customerName;
    std::optional<TimePoint> dateCreated; // absent and the epoch are different states
    std::optional<TimePoint> dateModified;
    std::vector<ReportDueDate> reportDueDates;
    std::string unmappedText;
};

// Post number plans: how a project composes post numbers from typed parts. No function of the
// library exchanges them; they are declared for hosts that keep such plans.
struct PostNumberPartCode {
    std::string code;
    std::string description;
};

struct PostNumberPartDefinition {
    PostNumberPartType type = PostNumberPartType::None;
    std::string name;
    int length = 0;
    std::vector<PostNumberPartCode> codes;
};

struct PostNumberPlan {
    std::string id;
    std::string name;
    std::string separator;
    std::vector<PostNumberPartDefinition> parts;
};
