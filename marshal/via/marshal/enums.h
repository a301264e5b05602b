// Enumerations: native and service enumerations cross by enumerator name, never by number.
#pragma once

#include <OrvaneModule/Enumerations.h>
#include <OrvaneModuleIntegration/Enumerations.h>
#include <System/Enum.h>
#include <via/marshal/text.h>

#include <magic_enum/magic_enum.hpp>

#include <string>
#include <string_view>

namespace via::marshal {

// The service value's name, looked up in the native name table. A name the native enumeration lacks
// (or an undefined service value, whose text is its number) raises InvalidCastException "csEnum";
// a failure of the text conversion itself passes through unchanged.
template <class NativeEnum, class ServiceEnum>
NativeEnum to_cpp_enum(const ServiceEnum& csEnum) {
    const std::string name = marshal_as<std::string>(System::Enum::ToString(csEnum));
    if (const auto value = magic_enum::enum_cast<NativeEnum>(std::string_view(name))) return *value;
    throw System::InvalidCastException(u"csEnum");
}

// The native value's name, parsed by the service enumeration. A value without a name, or a name the
// service lacks, raises InvalidCastException "cppEnum".
template <class ServiceEnum, class NativeEnum>
ServiceEnum to_cs_enum(const NativeEnum& cppEnum) {
    try {
        const std::string_view name = magic_enum::enum_name(cppEnum);
        return System::Enum::Parse<ServiceEnum>(marshal_as<System::Handle<System::String>>(name));
    } catch (const System::Exception&) {
        throw System::InvalidCastException(u"cppEnum");
    }
}

namespace detail {

// The enumeration pairs that convert, and in which direction.
template <class Native, class Service>
inline constexpr bool enum_to_native = false;
template <class Service, class Native>
inline constexpr bool enum_to_service = false;

namespace api = OrvaneModule::ApiModels;

template <>
inline constexpr bool enum_to_native<ApplicationModule, api::ApplicationModule> = true;
template <>
inline constexpr bool enum_to_native<UserPermission, api::UserPermission> = true;
template <>
inline constexpr bool enum_to_native<UserRole, api::UserRole> = true;
template <>
inline constexpr bool enum_to_native<ApprovalStatus, api::ApprovalStatus> = true;
template <>
inline constexpr bool enum_to_native<ZelvoFileType, api::ZelvoFileType> = true;
template <>
inline constexpr bool enum_to_native<PostNumberPartType, api::PostNumberPartType> = true;

template <>
inline constexpr bool enum_to_service<api::UserRole, UserRole> = true;
template <>
inline constexpr bool enum_to_service<api::ApprovalStatus, ApprovalStatus> = true;
template <>
inline constexpr bool enum_to_service<api::ZelvoFileType, ZelvoFileType> = true;
template <>
inline constexpr bool enum_to_service<api::ZelvoGeometryType, ZelvoGeometryType> = true;

} // namespace detail

template <class Native, class Service>
requires detail::enum_to_native<Native, Service>
struct marshal_traits<Native, Service> {
    static Native marshal(const Service& csEnum) { return to_cpp_enum<Native>(csEnum); }
};

template <class Service, class Native>
requires detail::enum_to_service<Service, Native>
struct marshal_traits<Service, Native> {
    static Service marshal(const Native& cppEnum) { return to_cs_enum<Service>(cppEnum); }
};

} // namespace via::marshal
