// What the text fuzz targets share: the supported code pages, the documented conversion failures, and
// a failure report libFuzzer records as a crash.
#pragma once

#include <System/Exceptions.h>
#include <System/String.h>
#include <via/marshal/text.h>
#include <win32/CodePage.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

struct Page {
    win32::UINT id;
    bool singleByte;
    bool exact; // every byte decodes to a unit of its own that encodes back to the same byte
};

inline constexpr std::array<Page, 17> kPages{{
    {20127, true, false},
    {28591, true, true},
    {65001, false, false},
    {874, true, true},
    {1250, true, true},
    {1251, true, true},
    {1252, true, true},
    {1253, true, true},
    {1254, true, true},
    {1255, true, true},
    {1256, true, true},
    {1257, true, true},
    {1258, true, true},
    {932, false, false},
    {936, false, false},
    {949, false, false},
    {950, false, false},
}};

// What the first byte of an input sets up: the page (its remainder by the number of pages), how many
// elements too few a direct converter call gets (0 to 3), and, for the top two quotients (bytes 238
// and up), that the text is repeated past the length up to which conversions use a fixed buffer.
struct Setup {
    const Page& page;
    std::size_t shortfall;
    bool lengthen;
};

inline Setup setup(std::uint8_t first) {
    const std::size_t quotient = first / kPages.size();
    return {kPages[first % kPages.size()], quotient % 4, quotient >= 14};
}

// Repeats the text until it holds more elements than any short-text buffer of the conversions.
template <class Text>
void lengthen(Text& text) {
    constexpr std::size_t kLongText = 5000;
    if (text.empty()) return;
    const Text unit = text;
    while (text.size() < kLongText) text += unit;
}

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s (code page %u)\n", what, win32::GetThreadAnsiCodePage());
    std::abort();
}

inline void check(bool condition, const char* what) {
    if (!condition) fail(what);
}

inline bool textIs(const System::Handle<System::String>& text, std::u16string_view expected) {
    return text != nullptr && text->View() == expected;
}

// Conversions may fail only with the exceptions and texts the conversion rules name.
inline void requireDocumented(const System::Exception& e) {
    namespace d = via::marshal::detail;
    if (const auto* n = dynamic_cast<const System::ArgumentNullException*>(&e))
        return check(textIs(n->ParamName(), d::kNullNotSupported), "ArgumentNullException with another name");
    if (const auto* r = dynamic_cast<const System::ArgumentOutOfRangeException*>(&e))
        return check(textIs(r->ParamName(), d::kSizeExceedsIntMax), "ArgumentOutOfRangeException with another name");
    if (const auto* a = dynamic_cast<const System::ArgumentException*>(&e))
        return check(textIs(a->Message(), d::kMultiByteToWideFailed) || textIs(a->Message(), d::kWideToMultiByteFailed),
                     "ArgumentException with another message");
    check(dynamic_cast<const System::InsufficientMemoryException*>(&e) != nullptr, "undocumented System exception");
}

// A documented failure on a supported page is allowed but worth knowing about: say so once per page.
inline void noteFailure(const Page& page, const System::Exception& e) {
    static std::array<bool, kPages.size()> told{};
    const auto index = static_cast<std::size_t>(&page - kPages.data());
    if (told[index]) return;
    told[index] = true;
    std::fprintf(stderr, "note: conversion failed on code page %u: %s\n", page.id, e.what());
}

inline bool isLeadSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
inline bool isTrailSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace fuzz
