// Service object graphs and native records built from the input (null objects, strings, lists and list
// elements anywhere, empty and long lists, enumeration values without a name) through every record
// conversion in both directions, and through the exported functions with the facade scripted to
// answer them. The first byte picks the conversion or function.
//
// Direct conversions may raise only exceptions of the System family; anything else escapes and is
// reported. Exported functions are called unguarded: an exception leaving one is a crash.
#include "text_support.h"

#include <OrvaneModule/Sandbox.h>
#include <OrvaneModule/VeskoIntegration.h>
#include <OrvaneModuleIntegration/OrvaneModuleIntegration.h>
#include <via/marshal/marshal.h>

#include <magic_enum/magic_enum.hpp>

#include <array>
#include <bit>
#include <concepts>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace {

namespace api = OrvaneModule::ApiModels;
namespace host = OrvaneModuleIntegration;
namespace Sandbox = OrvaneModule::Sandbox;
using fuzz::check;
using OrvaneModule::VeskoIntegration;
using System::gcnew;
using System::Handle;
using System::String;
using System::Collections::Generic::List;
using via::marshal::marshal_as;
using via::marshal::marshallable;
using via::marshal::ServiceList;

// ---------------------------------------------------------------------------------------------------
// The input

enum class Failure { None, System, Foreign };

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // Past the end every read gives zero: objects present, lists empty, first enumerators.
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::size_t pick(std::size_t n) { return byte() % n; }
    template <class T>
    T raw() {
        std::array<unsigned char, sizeof(T)> bytes{};
        for (auto& b : bytes) b = byte();
        return std::bit_cast<T>(bytes);
    }
    bool maybeNull() { return byte() % 8 == 7; }
    // Mostly a few elements, now and then many.
    std::size_t count() {
        const std::uint8_t b = byte();
        return b < 0xF8 ? b % 5 : 32 + byte();
    }
    std::size_t length() {
        const std::uint8_t b = byte();
        return b < 0xF0 ? b % 16 : 64 + 4 * std::size_t{byte()};
    }
    // Mostly a named value, now and then one without a name.
    template <class E>
    E enumeration() {
        const std::uint8_t b = byte();
        if (b >= 0xF8) return static_cast<E>(raw<std::underlying_type_t<E>>());
        if (b >= 0xF0) return static_cast<E>(7);
        if constexpr (System::ManagedEnum<E>) {
            const auto& entries = System::EnumNames<E>::entries;
            return entries[b % entries.size()].first;
        } else {
            constexpr auto values = magic_enum::enum_values<E>();
            return values[b % values.size()];
        }
    }
    // What a scripted facade operation does instead of answering.
    Failure failure() {
        const std::uint8_t b = byte() % 16;
        return b == 14 ? Failure::System : b == 15 ? Failure::Foreign : Failure::None;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void raise(Failure failure) {
    if (failure == Failure::System) throw System::InvalidOperationException(u"scripted failure");
    if (failure == Failure::Foreign) throw 42;
}

// ---------------------------------------------------------------------------------------------------
// Every model class and record as its list of fields, in declaration order: what the builders fill
// and the comparisons walk.

template <class T, class U>
concept Like = std::same_as<std::remove_const_t<T>, U>;

template <Like<api::MeasurementItemShort> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.ClientProvidedId, m.ConnectedFileId, m.Name, m.FileRevision, m.etag);
}
template <Like<api::Comment> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Text, m.DateCreated, m.Author);
}
template <Like<api::Attachment> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Id, m.Uri, m.Note, m.Chainage, m.DisplayName, m.OwnerUniqueId);
}
template <Like<api::ChainMass> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Chain, m.Mass);
}
template <Like<api::ChainMasses> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Masses, m.Resolution);
}
template <Like<api::Measurement> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Id, m.Status, m.Type, m.DateCreated, m.Description, m.Item, m.PostId, m.Quantity, m.Chainage, m.Creator,
             m.Comments, m.Attachments);
}
template <Like<api::MeasurementItemFileTotal> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.contractId, m.postId, m.clientProvidedId, m.connectedFileId, m.accumulatedQuantity, m.dateCreated,
             m.dateModified, m.etag, m.id);
}
template <Like<api::HistoricalQuantity> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Id, m.Quantity, m.DateCreated);
}
template <Like<api::Post> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Id, m.PostNumber, m.Title, m.InternalNote, m.DateCreated, m.DateModified, m.Unit, m.ContractQuantity,
             m.AccumulatedQuantity);
}
template <Like<api::RelatedContract> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Id, m.Name);
}
template <Like<api::Contract> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Id, m.Name, m.Prefix, m.Number, m.Standard, m.Type, m.Status, m.DateCreated, m.DateModified, m.posts,
             m.RelatedContract);
}
template <Like<api::ContractMeta> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.contracts);
}
template <Like<api::ReportDueDate> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Name, m.DueDate);
}
template <Like<api::Project> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Id, m.Name, m.ProjectNumber, m.CustomerName, m.DateCreated, m.DateModified, m.ReportDueDates);
}
template <Like<api::PostNumberPartCode> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Code, m.Description);
}
template <Like<api::PostNumberPartDefinition> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Type, m.Name, m.Length, m.Codes);
}
template <Like<OrvaneModule::Models::ContractPost> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Id, m.PostNumber, m.Title, m.Unit, m.Visible, m.ContractId, m.ContractType);
}
template <Like<api::ZelvoFileInfo> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.ConnectedFileId, m.ClientProvidedId, m.ZelvoFileType, m.Resolution);
}
template <Like<api::ZelvoCorrelation> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.EstimatedFileConnectedId, m.ActualFileConnectedId);
}
template <Like<api::ZelvoModelMetadata> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Type, m.Text, m.TextLength);
}
template <Like<api::ZelvoModelGeometry> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Geometry, m.Metadata);
}
template <Like<api::ZelvoModelRevision> M, class F>
decltype(auto) members(M& m, F&& f) {
    return f(m.Revision, m.ETag);
}

template <Like<MeasurementComment> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.text, r.dateCreated, r.author);
}
template <Like<MeasurementAttachment> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.id, r.uri, r.note, r.chainage, r.displayName, r.ownerUniqueId);
}
template <Like<ChainMass> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.chain, r.mass);
}
template <Like<ChainMasses> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.masses, r.resolution);
}
template <Like<MeasurementProposal> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.status, r.id, r.dateCreated, r.description, r.clientProvidedId, r.connectedFileId, r.name,
             r.fileRevision, r.etag, r.postId, r.quantity, r.chainage, r.creator, r.comments, r.attachments);
}
template <Like<MeasurementItemFileTotal> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.contractId, r.postId, r.clientProvidedId, r.connectedFileId, r.accumulatedQuantity, r.dateCreated,
             r.dateModified, r.etag, r.id);
}
template <Like<HistoricalQuantity> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.id, r.dateCreated, r.quantity);
}
template <Like<ContractPost> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.id, r.contractId, r.unmappedText, r.postNumber, r.title, r.unit, r.contractType, r.visible);
}
template <Like<Post> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.id, r.postNumber, r.title, r.internalNote, r.dateCreated, r.dateModified, r.unit, r.contractQuantity,
             r.accumulatedQuantity);
}
template <Like<Contract> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.id, r.name, r.prefix, r.number, r.unmappedFlag, r.dateCreated, r.dateModified, r.standard, r.type,
             r.status, r.relatedContractId, r.posts);
}
template <Like<ContractMeta> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.contracts);
}
template <Like<ReportDueDate> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.unmappedText, r.name, r.dueDate);
}
template <Like<VeskoProject> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.id, r.name, r.projectNumber, r.customerName, r.dateCreated, r.dateModified, r.reportDueDates,
             r.unmappedText);
}
template <Like<PostNumberPartCode> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.code, r.description);
}
template <Like<PostNumberPartDefinition> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.type, r.name, r.length, r.codes);
}
template <Like<ZelvoFileInfo> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.connectedFileId, r.clientProvidedId, r.fileType, r.resolution);
}
template <Like<ZelvoCorrelation> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.estimatedFileConnectedId, r.actualFileConnectedId);
}
template <Like<ZelvoModelMetadata> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.type, r.text, r.textLength);
}
template <Like<ZelvoModelGeometry> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.geometry, r.metadata);
}
template <Like<ZelvoModelRevision> R, class F>
decltype(auto) members(R& r, F&& f) {
    return f(r.etag, r.revision);
}

struct AnyFields {
    template <class... F>
    bool operator()(F&...) const {
        return true;
    }
};
template <class T>
concept Described = requires(T& t) {
    members(t, AnyFields{});
};

// ---------------------------------------------------------------------------------------------------
// Building values from the input

void build(Reader& in, bool& value);
void build(Reader& in, std::int32_t& value);
void build(Reader& in, double& value);
template <class E>
requires std::is_enum_v<E>
void build(Reader& in, E& value);
void build(Reader& in, std::string& text);
void build(Reader& in, TimePoint& time);
void build(Reader& in, Handle<String>& text);
void build(Reader& in, System::DateTime& time);
void build(Reader& in, System::Nullable<System::DateTime>& time);
template <class T>
void build(Reader& in, std::vector<T>& vector);
template <class E>
void build(Reader& in, Handle<List<E>>& list);
template <Described M>
void build(Reader& in, Handle<M>& object);
template <Described R>
void build(Reader& in, R& record);

template <class T>
T make(Reader& in) {
    T value{};
    build(in, value);
    return value;
}

void build(Reader& in, bool& value) {
    value = (in.byte() & 1) != 0;
}
void build(Reader& in, std::int32_t& value) {
    value = in.raw<std::int32_t>();
}
void build(Reader& in, double& value) {
    value = in.raw<double>();
}
template <class E>
requires std::is_enum_v<E>
void build(Reader& in, E& value) {
    value = in.enumeration<E>();
}
void build(Reader& in, std::string& text) {
    text.resize(in.length());
    for (char& c : text) c = static_cast<char>(in.byte());
}

const std::int64_t kEpochTicks = via::marshal::detail::getEpoch().Ticks();

// Mostly inside the date-time range, sometimes anywhere.
void build(Reader& in, TimePoint& time) {
    std::int64_t ticks = 0;
    switch (in.pick(4)) {
    case 1:
        ticks = in.raw<std::int32_t>();
        break;
    case 2:
        ticks = in.raw<std::int64_t>();
        break;
    case 3:
        ticks = static_cast<std::int64_t>(in.raw<std::uint64_t>() % (System::DateTime::MaxTicks + 1)) - kEpochTicks;
        break;
    default:
        break;
    }
    time = TimePoint(TimePoint::duration(ticks));
}
void build(Reader& in, Handle<String>& text) {
    if (in.maybeNull()) return;
    std::u16string units(in.length(), u'\0');
    for (char16_t& u : units) u = in.raw<char16_t>();
    text = gcnew<String>(std::move(units));
}
void build(Reader& in, System::DateTime& time) {
    const auto ticks = static_cast<std::int64_t>(in.raw<std::uint64_t>() % (System::DateTime::MaxTicks + 1));
    time = System::DateTime(ticks, static_cast<System::DateTimeKind>(in.pick(3)));
}
void build(Reader& in, System::Nullable<System::DateTime>& time) {
    if (in.maybeNull()) return;
    time = make<System::DateTime>(in);
}
template <class T>
void build(Reader& in, std::vector<T>& vector) {
    vector.resize(in.count());
    for (T& element : vector) build(in, element);
}
template <class E>
void build(Reader& in, Handle<List<E>>& list) {
    if (in.maybeNull()) return;
    const std::size_t n = in.count();
    list = gcnew<List<E>>();
    for (std::size_t i = 0; i < n; ++i) list->Add(make<E>(in));
}
template <Described M>
void build(Reader& in, Handle<M>& object) {
    if (in.maybeNull()) return;
    object = gcnew<M>();
    members(*object, [&](auto&... fields) { (build(in, fields), ...); });
}
template <Described R>
void build(Reader& in, R& record) {
    members(record, [&](auto&... fields) { (build(in, fields), ...); });
}

// ---------------------------------------------------------------------------------------------------
// Comparing values: native records field by field, service objects property by property (doubles by
// their bits, so NaN equals itself)

template <class T>
requires std::is_integral_v<T> || std::is_enum_v<T>
bool same(T a, T b);
bool same(double a, double b);
bool same(const std::string& a, const std::string& b);
bool same(TimePoint a, TimePoint b);
bool same(const Handle<String>& a, const Handle<String>& b);
bool same(const System::DateTime& a, const System::DateTime& b);
template <class T>
bool same(const std::optional<T>& a, const std::optional<T>& b);
template <class T>
bool same(const std::vector<T>& a, const std::vector<T>& b);
template <class E>
bool same(const Handle<List<E>>& a, const Handle<List<E>>& b);
template <Described M>
bool same(const Handle<M>& a, const Handle<M>& b);
template <Described R>
bool same(const R& a, const R& b);

template <class T>
requires std::is_integral_v<T> || std::is_enum_v<T>
bool same(T a, T b) {
    return a == b;
}
bool same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
bool same(const std::string& a, const std::string& b) {
    return a == b;
}
bool same(TimePoint a, TimePoint b) {
    return a == b;
}
bool same(const Handle<String>& a, const Handle<String>& b) {
    return a == nullptr || b == nullptr ? a == nullptr && b == nullptr : a->View() == b->View();
}
bool same(const System::DateTime& a, const System::DateTime& b) {
    return a.Ticks() == b.Ticks() && a.Kind() == b.Kind();
}
template <class T>
bool same(const std::optional<T>& a, const std::optional<T>& b) {
    return a.has_value() == b.has_value() && (!a || same(*a, *b));
}
template <class T>
bool same(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i])) return false;
    return true;
}
template <class E>
bool same(const Handle<List<E>>& a, const Handle<List<E>>& b) {
    if (a == nullptr || b == nullptr) return a == nullptr && b == nullptr;
    if (a->Count() != b->Count()) return false;
    for (int i = 0; i < a->Count(); ++i)
        if (!same((*a)[i], (*b)[i])) return false;
    return true;
}
template <Described M>
bool same(const Handle<M>& a, const Handle<M>& b) {
    if (a == nullptr || b == nullptr) return a == nullptr && b == nullptr;
    return members(
        *a, [&](const auto&... x) { return members(*b, [&](const auto&... y) { return (same(x, y) && ...); }); });
}
template <Described R>
bool same(const R& a, const R& b) {
    return members(a,
                   [&](const auto&... x) { return members(b, [&](const auto&... y) { return (same(x, y) && ...); }); });
}

// ---------------------------------------------------------------------------------------------------
// What the conversions promise

// The failures record conversions have: a property of a null object read, an enumerator without a
// name on the other side, a null list where a vector is required, a time outside the date-time range;
// for plain text, a null string.
void requireRecordFailure(const System::Exception& e, bool text) {
    if (dynamic_cast<const System::NullReferenceException*>(&e) != nullptr) return;
    if (dynamic_cast<const System::ArgumentOutOfRangeException*>(&e) != nullptr) return;
    if (dynamic_cast<const System::InvalidCastException*>(&e) != nullptr)
        return check(fuzz::textIs(e.Message(), u"csEnum") || fuzz::textIs(e.Message(), u"cppEnum"),
                     "InvalidCastException with another message");
    if (const auto* n = dynamic_cast<const System::ArgumentNullException*>(&e))
        return check(fuzz::textIs(n->ParamName(), text ? via::marshal::detail::kNullNotSupported : u"list"),
                     "ArgumentNullException for another parameter");
    fuzz::fail("conversion failed with an unexpected System exception");
}

// A conversion's result, or nothing when it failed as record conversions may. An exception of another
// kind, or from outside the System family, ends the run.
template <class To, class From>
std::optional<To> converted(const From& from) {
    try {
        return marshal_as<To>(from);
    } catch (const System::Exception& e) {
        requireRecordFailure(e, std::is_same_v<To, std::string>);
        return std::nullopt;
    }
}

// From the service, an object's properties read when every enumerator read has a name and every object
// reached is there; null text and null lists read as empty. A measurement's chainage and a contract's
// related contract may be absent, and a measurement's type is never read.
template <class T>
bool readable(const T&);
template <System::ManagedEnum E>
bool readable(const E& value);
bool readable(const api::MeasurementType&);
bool readable(const Handle<api::ChainMasses>& chainage);
bool readable(const Handle<api::RelatedContract>& related);
template <class E>
bool readable(const Handle<List<E>>& list);
template <Described M>
bool readable(const Handle<M>& object);
template <Described M>
bool readableProperties(const M& object);

template <class T>
bool readable(const T&) {
    return true;
}
template <System::ManagedEnum E>
bool readable(const E& value) {
    return System::Enum::IsDefined(value);
}
bool readable(const api::MeasurementType&) {
    return true;
}
bool readable(const Handle<api::ChainMasses>& chainage) {
    return chainage == nullptr || readableProperties(*chainage);
}
bool readable(const Handle<api::RelatedContract>& related) {
    return related == nullptr || readableProperties(*related);
}
template <class E>
bool readable(const Handle<List<E>>& list) {
    if (list != nullptr)
        for (const E& element : *list)
            if (!readable(element)) return false;
    return true;
}
template <Described M>
bool readable(const Handle<M>& object) {
    return object != nullptr && readableProperties(*object);
}
template <Described M>
bool readableProperties(const M& object) {
    return members(object, [](const auto&... properties) { return (readable(properties) && ...); });
}

// Towards the service, a record converts exactly when each enumeration has a name and each time
// point lies in the date-time range (text in code page 1252 always converts).
template <class T>
bool convertible(const T&);
template <class E>
requires std::is_enum_v<E>
bool convertible(const E& value);
bool convertible(const TimePoint& time);
template <class T>
bool convertible(const std::vector<T>& vector);
template <Described R>
bool convertible(const R& record);

template <class T>
bool convertible(const T&) {
    return true;
}
template <class E>
requires std::is_enum_v<E>
bool convertible(const E& value) {
    return magic_enum::enum_contains(value);
}
bool convertible(const TimePoint& time) {
    const std::int64_t ticks = time.time_since_epoch().count();
    return ticks >= -kEpochTicks && ticks <= System::DateTime::MaxTicks - kEpochTicks;
}
template <class T>
bool convertible(const std::vector<T>& vector) {
    for (const T& element : vector)
        if (!convertible(element)) return false;
    return true;
}
template <Described R>
bool convertible(const R& record) {
    return members(record, [](const auto&... fields) { return (convertible(fields) && ...); });
}

// Towards the service nothing is null: no object, string or list. A measurement's chainage is the
// one exception, absent when there are no stations.
template <class T>
void settled(const T&) {}
void settled(const Handle<String>& text);
void settled(const Handle<api::ChainMasses>& chainage);
template <class E>
void settled(const Handle<List<E>>& list);
template <Described M>
void settled(const Handle<M>& object);

void settled(const Handle<String>& text) {
    check(text != nullptr, "null string sent to the service");
}
template <class E>
void settled(const Handle<List<E>>& list) {
    check(list != nullptr, "null list sent to the service");
    for (const E& element : *list) settled(element);
}
template <Described M>
void settled(const Handle<M>& object) {
    check(object != nullptr, "null object sent to the service");
    members(*object, [](const auto&... fields) { (settled(fields), ...); });
}
void settled(const Handle<api::ChainMasses>& chainage) {
    if (chainage != nullptr) members(*chainage, [](const auto&... fields) { (settled(fields), ...); });
}

// What comes back from the service after a trip there: the record itself, except that a chainage
// without stations loses its resolution.
template <class R>
R roundTripped(R record) {
    return record;
}
MeasurementProposal roundTripped(MeasurementProposal record) {
    if (record.chainage.masses.empty()) record.chainage.resolution = 0;
    return record;
}

std::string nameOf(System::Handle<String> serviceName) {
    return marshal_as<std::string>(serviceName);
}

template <class Model, class Native>
void checkSent(const Handle<Model>& sent, const Native& record) {
    settled(sent);
    if constexpr (marshallable<Native, Handle<Model>>) {
        const auto back = converted<Native>(sent);
        check(back && same(*back, roundTripped(record)), "record changed on its way to the service and back");
    }
    if constexpr (std::is_same_v<Model, api::Measurement>) {
        check(sent->Type == static_cast<api::MeasurementType>(3), "measurement sent with another type");
        check((sent->Chainage == nullptr) == record.chainage.masses.empty(), "chainage sent against its stations");
    }
    if constexpr (std::is_same_v<Model, api::ZelvoModelMetadata>) {
        check(nameOf(System::Enum::ToString(sent->Type)) == magic_enum::enum_name(record.type) &&
                  marshal_as<std::string>(sent->Text) == record.text && same(sent->TextLength, record.textLength),
              "metadata sent with other values");
    }
    if constexpr (std::is_same_v<Model, api::ZelvoModelGeometry>) {
        check(marshal_as<std::string>(sent->Geometry) == record.geometry, "geometry sent with other text");
        checkSent(sent->Metadata, record.metadata);
    }
}

// A service list converts exactly when each element does, into those elements in order; a null list
// fails the vector form with "list" and gives the optional form no value.
template <class Native, class Element>
void checkList(const ServiceList<Element>& list) {
    const auto vector = converted<std::vector<Native>>(list);
    const auto optional = converted<std::optional<std::vector<Native>>>(list);
    if (list == nullptr) {
        check(optional.has_value() && !optional->has_value(), "null list gives a value");
        try {
            (void)marshal_as<std::vector<Native>>(list);
            fuzz::fail("null list converted");
        } catch (const System::ArgumentNullException& e) {
            check(fuzz::textIs(e.ParamName(), u"list"), "null list refused with another name");
        }
        return;
    }
    std::optional<std::vector<Native>> elements(std::in_place);
    for (const Element& element : *list) {
        auto one = converted<Native>(element);
        if (!one) {
            elements.reset();
            break;
        }
        elements->push_back(std::move(*one));
    }
    check(same(vector, elements), "list converts differently from its elements");
    check(optional.has_value() == elements.has_value() && (!optional || same(*optional, std::optional(*elements))),
          "optional list converts differently from its elements");
}

// ---------------------------------------------------------------------------------------------------
// Direct conversions

template <class Native, class Model>
void fromService(Reader& in) {
    const auto object = make<Handle<Model>>(in);
    const auto plain = converted<Native>(object);
    const auto optional = converted<std::optional<Native>>(object);
    if (object == nullptr) {
        check(!plain && optional.has_value() && !optional->has_value(), "null object converted");
    } else {
        check(plain.has_value() == readableProperties(*object), "object converts against its properties");
        check(plain.has_value() == optional.has_value() && (!plain || same(*optional, std::optional(*plain))),
              "optional conversion differs from the plain one");
    }
    checkList<Native>(make<ServiceList<Handle<Model>>>(in));
}

template <class Model, class Native>
void toService(Reader& in) {
    const auto record = make<Native>(in);
    const auto sent = converted<Handle<Model>>(record);
    check(sent.has_value() == convertible(record), "record converts against its values");
    if (sent) checkSent(*sent, record);

    const auto records = make<std::vector<Native>>(in);
    const auto list = converted<ServiceList<Handle<Model>>>(records);
    check(list.has_value() == convertible(records), "records convert against their values");
    if (!list) return;
    check(*list != nullptr && (*list)->Count() == static_cast<int>(records.size()), "list of another length");
    for (std::size_t i = 0; i < records.size(); ++i) checkSent((**list)[static_cast<int>(i)], records[i]);
}

template <class Native, class Service>
void fromServiceEnum(Reader& in) {
    const auto value = make<Service>(in);
    const auto native = converted<Native>(value);
    check(native.has_value() == System::Enum::IsDefined(value), "enumerator converts against its name");
    if (native) check(magic_enum::enum_name(*native) == nameOf(System::Enum::ToString(value)), "enumerator renamed");
    checkList<Native>(make<Handle<List<Service>>>(in));
}

template <class Service, class Native>
void toServiceEnum(Reader& in) {
    const auto value = make<Native>(in);
    const auto sent = converted<Service>(value);
    check(sent.has_value() == magic_enum::enum_contains(value), "enumerator converts against its name");
    if (!sent) return;
    check(magic_enum::enum_name(value) == nameOf(System::Enum::ToString(*sent)), "enumerator renamed");
    if constexpr (marshallable<Native, Service>) check(converted<Native>(*sent) == value, "enumerator changed");

    const auto values = make<std::vector<Native>>(in);
    const auto list = converted<ServiceList<Service>>(values);
    check(list.has_value() == convertible(values), "enumerators convert against their names");
    if (!list) return;
    check(*list != nullptr && (*list)->Count() == static_cast<int>(values.size()), "list of another length");
    for (std::size_t i = 0; i < values.size(); ++i)
        check((**list)[static_cast<int>(i)] == marshal_as<Service>(values[i]), "list element changed");
}

// ---------------------------------------------------------------------------------------------------
// Exported functions with the facade scripted

template <class R, class... A>
R resultOf(R (*)(A...));
template <auto Op>
using ResultOf = decltype(resultOf(Op));

struct Nothing {};

// The argument of type `Kept` the facade operation received; none when it was not called.
template <class Kept>
struct Received {
    std::optional<Kept> value;
    template <class T>
    void keep(const T& argument) {
        if constexpr (std::is_same_v<T, Kept>) value = argument;
    }
};

// Calls an exported function (given the input's text for every string argument) while the facade
// operation `Op` answers an object built from the input, or raises. The function's result must be the
// direct conversion of that answer, or its fallback when the arguments, the operation or the
// conversion fail; the operation runs once when the arguments convert, else never.
template <auto Op, class Kept = Nothing, class Call>
std::optional<Kept> answered(Reader& in, bool argumentsConvert, Call call) {
    using Answer = ResultOf<Op>;
    using Result = std::invoke_result_t<Call&, const std::string&>;
    const auto text = make<std::string>(in);
    std::conditional_t<std::is_void_v<Answer>, bool, Answer> answer{};
    if constexpr (!std::is_void_v<Answer>) answer = make<Answer>(in);
    const Failure failure = in.failure();
    Received<Kept> received;
    const int callsBefore = Sandbox::callCount<Op>();
    {
        const auto script = Sandbox::script<Op>([&](auto&&... arguments) -> Answer {
            (received.keep(arguments), ...);
            raise(failure);
            if constexpr (!std::is_void_v<Answer>) return answer;
        });
        if constexpr (std::is_void_v<Result>) {
            call(text);
        } else {
            const bool answers = argumentsConvert && failure == Failure::None;
            Result expected{};
            if constexpr (std::is_void_v<Answer>)
                expected = answers; // completion: true when the operation returned
            else if constexpr (std::is_same_v<Result, Answer>)
                expected = answers ? answer : Result{};
            else if (answers)
                expected = converted<Result>(answer).value_or(Result{});
            check(same(call(text), expected), "result is neither the converted answer nor the fallback");
        }
    }
    check(Sandbox::callCount<Op>() - callsBefore == (argumentsConvert ? 1 : 0),
          "operation called a wrong number of times");
    return received.value;
}

// As above for a function that sends a value built from the input: the operation receives exactly that
// value's direct conversion, or is not called when it does not convert.
template <auto Op, class Service, class Native, class Call>
void sends(Reader& in, Call call) {
    const auto value = make<Native>(in);
    const auto sent = converted<Service>(value);
    const auto received =
        answered<Op, Service>(in, sent.has_value(), [&](const std::string& text) { return call(value, text); });
    check(same(received, sent), "the service received another value than the conversion gives");
}

void bearerToken(Reader& in) {
    const auto user = make<Handle<String>>(in);
    const auto tenant = make<Handle<String>>(in);
    const Failure failure = in.failure();
    const auto script = Sandbox::script<&VeskoIntegration::GetBearerToken>(
        [&](bool, Handle<String>& userName, Handle<String>& tenantUniqueId) {
            userName = user;
            tenantUniqueId = tenant;
            raise(failure);
        });
    std::string userName = "before", tenantUniqueId = "before";
    host::GetBearerToken(in.byte() % 2 != 0, userName, tenantUniqueId);
    check(userName == converted<std::string>(user).value_or("") &&
              tenantUniqueId == converted<std::string>(tenant).value_or(""),
          "bearer token strings are not what the service wrote");
}

void proposalDetails(Reader& in) {
    const bool comments = in.byte() % 2 != 0, attachments = in.byte() % 2 != 0;
    const auto status = make<api::ApprovalStatus>(in);
    const Failure failure = in.failure();
    const auto script = Sandbox::script<&VeskoIntegration::GetMeasurementProposalDetails>(
        [&](Handle<String>, Handle<String>, bool& hasComments, bool& hasAttachments,
            api::ApprovalStatus& approvalStatus, int&) {
            hasComments = comments;
            hasAttachments = attachments;
            approvalStatus = status;
            raise(failure);
        });
    bool hasComments = !comments, hasAttachments = !attachments;
    auto approvalStatus = ApprovalStatus::Invoiced;
    int responsecode = 0;
    host::GetMeasurementProposalDetails("p", "m", hasComments, hasAttachments, approvalStatus, responsecode);
    check(hasComments == comments && hasAttachments == attachments &&
              approvalStatus == converted<ApprovalStatus>(status).value_or(ApprovalStatus::NA),
          "details are not what the service wrote");
}

using V = VeskoIntegration;
using Case = void (*)(Reader&);

constexpr Case kCases[] = {
    // service objects to records
    fromService<MeasurementProposal, api::Measurement>,
    fromService<MeasurementComment, api::Comment>,
    fromService<MeasurementAttachment, api::Attachment>,
    fromService<ChainMass, api::ChainMass>,
    fromService<ChainMasses, api::ChainMasses>,
    fromService<MeasurementItemFileTotal, api::MeasurementItemFileTotal>,
    fromService<HistoricalQuantity, api::HistoricalQuantity>,
    fromService<ContractPost, OrvaneModule::Models::ContractPost>,
    fromService<Post, api::Post>,
    fromService<Contract, api::Contract>,
    fromService<ContractMeta, api::ContractMeta>,
    fromService<ReportDueDate, api::ReportDueDate>,
    fromService<VeskoProject, api::Project>,
    fromService<PostNumberPartCode, api::PostNumberPartCode>,
    fromService<PostNumberPartDefinition, api::PostNumberPartDefinition>,
    fromService<ZelvoFileInfo, api::ZelvoFileInfo>,
    fromService<ZelvoCorrelation, api::ZelvoCorrelation>,
    fromService<ZelvoModelRevision, api::ZelvoModelRevision>,
    fromServiceEnum<ApplicationModule, api::ApplicationModule>,
    fromServiceEnum<UserPermission, api::UserPermission>,
    fromServiceEnum<UserRole, api::UserRole>,
    fromServiceEnum<ApprovalStatus, api::ApprovalStatus>,
    fromServiceEnum<ZelvoFileType, api::ZelvoFileType>,
    fromServiceEnum<PostNumberPartType, api::PostNumberPartType>,
    // records to service objects
    toService<api::Measurement, MeasurementProposal>,
    toService<api::Comment, MeasurementComment>,
    toService<api::Attachment, MeasurementAttachment>,
    toService<api::ChainMass, ChainMass>,
    toService<api::ChainMasses, ChainMasses>,
    toService<api::ZelvoFileInfo, ZelvoFileInfo>,
    toService<api::ZelvoModelMetadata, ZelvoModelMetadata>,
    toService<api::ZelvoModelGeometry, ZelvoModelGeometry>,
    toServiceEnum<api::UserRole, UserRole>,
    toServiceEnum<api::ApprovalStatus, ApprovalStatus>,
    toServiceEnum<api::ZelvoFileType, ZelvoFileType>,
    toServiceEnum<api::ZelvoGeometryType, ZelvoGeometryType>,
    // exported functions answering service objects
    [](Reader& in) {
        answered<&V::GetProjectByID>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetProjectById(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetContractProject>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetContractProject(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetContracts>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetContracts(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetPostsMeta>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetPostsMeta(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetAllPosts>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetAllPosts(s, true, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetVisiblePosts>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetVisiblePosts(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetMeasurementProposalByID>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetMeasurementProposalById(s, s, s, s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetMeasurementItemsFileTotal>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetMeasurementItemsFileTotal(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetEstimatedQuantities>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetEstimatedQuantities(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetActualQuantities>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetActualQuantities(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetActualHistoricalQuantities>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetActualHistoricalQuantities(s, s, s, s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetZelvoFileInfo>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetZelvoFileInfo(s, s, s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetZelvoCorrelatedFileId>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetZelvoCorrelatedFileId(s, s, s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetZelvoCorrelations>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetZelvoCorrelations(s, s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetZelvoModelRevision>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetZelvoModelRevision(s, s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetUserPermissions>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetUserPermissions(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetUserRoles>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetUserRoles(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetModules>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetModules(s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetLoggedInUser>(in, true, [](const std::string&) {
            int rc = 0;
            return host::GetLoggedInUser(rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetPostDataFileName>(in, true, [](const std::string& s) { return host::GetPostDataFileName(s); });
    },
    [](Reader& in) {
        answered<&V::SaveAttachment>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::SaveAttachment(s, s, rc);
        });
    },
    [](Reader& in) {
        answered<&V::GetTemporaryUrl>(in, true, [](const std::string& s) {
            int rc = 0;
            return host::GetTemporaryUrl(s, rc);
        });
    },
    [](Reader& in) { answered<&V::IsLoggedIn>(in, true, [](const std::string&) { return host::IsLoggedIn(); }); },
    [](Reader& in) { answered<&V::SetProject>(in, true, [](const std::string& s) { return host::SetProject(s); }); },
    [](Reader& in) {
        answered<&V::ShowManageContractPostsDialog>(
            in, true, [](const std::string& s) { return host::ShowManageContractPostsDialog(s, s); });
    },
    bearerToken,
    proposalDetails,
    // exported functions sending records
    [](Reader& in) {
        sends<&V::NewMeasurementProposal, Handle<api::Measurement>, MeasurementProposal>(
            in, [](const MeasurementProposal& m, const std::string& s) {
                int rc = 0;
                return host::NewMeasurementProposal(m, s, s, s, rc);
            });
    },
    [](Reader& in) {
        sends<&V::NewEstimatedQuantity, Handle<api::Measurement>, MeasurementProposal>(
            in, [](const MeasurementProposal& m, const std::string& s) {
                int rc = 0;
                return host::NewEstimatedQuantity(m, s, s, s, rc);
            });
    },
    [](Reader& in) {
        sends<&V::NewActualQuantity, Handle<api::Measurement>, MeasurementProposal>(
            in, [](const MeasurementProposal& m, const std::string& s) {
                int rc = 0;
                return host::NewActualQuantity(m, s, s, s, rc);
            });
    },
    [](Reader& in) {
        sends<&V::GetMeasurementProposals, ServiceList<api::ApprovalStatus>, std::vector<ApprovalStatus>>(
            in, [](const std::vector<ApprovalStatus>& statuses, const std::string& s) {
                int rc = 0;
                return host::GetMeasurementProposals(s, statuses, rc);
            });
    },
    [](Reader& in) {
        sends<&V::NewMeasurementProposalComment, Handle<api::Comment>, MeasurementComment>(
            in, [](const MeasurementComment& c, const std::string& s) {
                int rc = 0;
                host::CreateMeasurementProposalComment(c, s, s, s, rc);
            });
    },
    [](Reader& in) {
        sends<&V::NewMeasurementProposalAttachment, Handle<api::Attachment>, MeasurementAttachment>(
            in, [](const MeasurementAttachment& a, const std::string& s) {
                int rc = 0;
                return host::NewMeasurementProposalAttachment(a, s, s, s, s, rc);
            });
    },
    [](Reader& in) {
        sends<&V::SetZelvoFileInfo, Handle<api::ZelvoFileInfo>, ZelvoFileInfo>(
            in, [](const ZelvoFileInfo& f, const std::string& s) {
                int rc = 0;
                host::SetZelvoFileInfo(s, s, f, rc);
            });
    },
    [](Reader& in) {
        sends<&V::PutZelvoModel, ServiceList<Handle<api::ZelvoModelGeometry>>, std::vector<ZelvoModelGeometry>>(
            in, [](const std::vector<ZelvoModelGeometry>& g, const std::string& s) {
                int rc = 0;
                host::PutZelvoModel(g, s, s, 3, s, 25833, rc);
            });
    },
    [](Reader& in) {
        sends<&V::AddUserRole, api::UserRole, UserRole>(in, [](UserRole role, const std::string& s) {
            int rc = 0;
            return host::AddUserRole(s, role, rc);
        });
    },
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Local date-times then convert with a real offset and daylight saving.
    setenv("TZ", "Europe/Oslo", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every narrow text converts exactly on this page, so records survive a round trip.
    win32::SetThreadAnsiCodePage(1252);
    Reader in(data, size);
    kCases[in.pick(std::size(kCases))](in);
    return 0;
}
