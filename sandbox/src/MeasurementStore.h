// What the in-memory measurement and quantity areas share: one store behind one mutex, and deep copies
// so that nothing a caller holds can reach into it.
#pragma once

#include "State.h"

#include <OrvaneModule/MeasurementModels.h>

#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

namespace OrvaneModule::SandboxState {

namespace api = OrvaneModule::ApiModels;
using System::Collections::Generic::List;

// A measurement with the place it was filed under.
struct Filed {
    std::u16string project;
    std::u16string contract;
    std::u16string post;
    Handle<api::Measurement> measurement; // the store's own copy, never handed out
};

// One recorded actual quantity of a post in a file.
struct Recorded {
    std::u16string project;
    std::u16string contract;
    std::u16string post;
    std::u16string file;
    Handle<api::HistoricalQuantity> quantity;
};

struct MeasurementStore {
    std::mutex mutex;
    std::vector<Filed> proposals;  // in creation order
    std::vector<Filed> estimated;  // one per item of a post in a file
    std::vector<Filed> actual;     // one per item of a post in a file, the latest recording
    std::vector<Recorded> history; // every recording of an actual quantity, in order
    std::vector<std::u16string> savedFiles;
};

// Defined with the measurement area, which also empties it on reset.
MeasurementStore& measurementStore();

// Strings are immutable and shared; every object and list is copied.
template <class U>
Handle<List<Handle<U>>> copyList(const Handle<List<Handle<U>>>& list) {
    if (list == nullptr) return nullptr;
    auto copy = System::gcnew<List<Handle<U>>>(list->Count());
    for (const auto& element : *list) copy->Add(element == nullptr ? nullptr : System::gcnew<U>(*element));
    return copy;
}

inline Handle<api::Measurement> copyOf(const Handle<api::Measurement>& measurement) {
    auto copy = System::gcnew<api::Measurement>(*measurement);
    if (measurement->Item != nullptr) copy->Item = System::gcnew<api::MeasurementItemShort>(*measurement->Item);
    if (measurement->Chainage != nullptr) {
        copy->Chainage = System::gcnew<api::ChainMasses>(*measurement->Chainage);
        copy->Chainage->Masses = copyList(measurement->Chainage->Masses);
    }
    copy->Comments = copyList(measurement->Comments);
    copy->Attachments = copyList(measurement->Attachments);
    return copy;
}

// The file a measurement's item belongs to; empty without an item.
inline std::u16string fileOf(const api::Measurement& measurement) {
    return measurement.Item == nullptr ? std::u16string() : text(measurement.Item->ConnectedFileId);
}

// Writes 401 without a session, 400 for an empty id, 404 for an unknown project, and then answers false.
inline bool admit(int& responsecode, const Handle<String>& projectId, std::initializer_list<Handle<String>> ids = {}) {
    if (!requireSession(responsecode)) return false;
    bool given = !text(projectId).empty();
    for (const auto& id : ids) given = given && !text(id).empty();
    if (!given) {
        responsecode = BadRequest;
        return false;
    }
    if (!isSampleProject(text(projectId))) {
        responsecode = NotFound;
        return false;
    }
    return true;
}

} // namespace OrvaneModule::SandboxState
