// Text: narrow to service strings and back, for ASCII, Windows-1252 and UTF-8, beside the floor (a
// plain widening or narrowing copy into a new string), glibc iconv, ICU and std::wstring_convert.
// Names: text/<encoding>/<to_service|to_narrow>/<bytes>/<bridge|floor|iconv|icu|icu_ustr|codecvt>.
#include "data.h"

#include <System/String.h>
#include <via/marshal/text.h>
#include <win32/CodePage.h>

#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <iconv.h>

#include <codecvt>
#include <cstddef>
#include <locale>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

using bench::Encoding;
using bench::Text;
using System::Handle;
using System::String;
using via::marshal::marshal_as;

constexpr std::size_t kSizes[] = {16, 64, 4096, 1 << 20};
constexpr Encoding kEncodings[] = {Encoding::Ascii, Encoding::Windows1252, Encoding::Utf8};

const Text& text(Encoding encoding, std::size_t bytes) {
    static std::map<std::pair<Encoding, std::size_t>, Text> cache;
    auto [it, inserted] = cache.try_emplace({encoding, bytes});
    if (inserted) it->second = bench::makeText(encoding, bytes);
    return it->second;
}

const char* iconvName(Encoding e) {
    return e == Encoding::Utf8 ? "UTF-8" : "CP1252";
}
const char* icuName(Encoding e) {
    return e == Encoding::Utf8 ? "UTF-8" : "windows-1252";
}

void setBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// --- narrow to service -------------------------------------------------------------------------------

void toServiceBridge(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    const unsigned previous = win32::SetThreadAnsiCodePage(bench::codePageOf(e));
    for (auto _ : state) {
        auto converted = marshal_as<Handle<String>>(t.narrow);
        benchmark::DoNotOptimize(converted.get());
    }
    win32::SetThreadAnsiCodePage(previous);
    setBytes(state, bytes);
}

// The floors copy as many elements as the conversion writes: for UTF-8 fewer units than bytes on the
// way in, more bytes than units on the way out.
void toServiceFloor(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    const auto* first = reinterpret_cast<const unsigned char*>(t.narrow.data());
    for (auto _ : state) {
        std::u16string converted(first, first + t.wide.size());
        benchmark::DoNotOptimize(converted.data());
    }
    setBytes(state, bytes);
}

void toServiceIconv(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    const iconv_t cd = iconv_open("UTF-16LE", iconvName(e));
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
    for (auto _ : state) {
        std::u16string converted(t.narrow.size(), u'\0');
        char* in = const_cast<char*>(t.narrow.data());
        std::size_t inLeft = t.narrow.size();
        char* out = reinterpret_cast<char*>(converted.data());
        std::size_t outLeft = converted.size() * 2;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) state.SkipWithError("iconv");
        converted.resize(converted.size() - outLeft / 2);
        benchmark::DoNotOptimize(converted.data());
    }
    iconv_close(cd);
    setBytes(state, bytes);
}

void toServiceIcu(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    UErrorCode err = U_ZERO_ERROR;
    UConverter* cnv = ucnv_open(icuName(e), &err);
    const auto n = static_cast<int32_t>(t.narrow.size());
    for (auto _ : state) {
        std::u16string converted(t.narrow.size(), u'\0');
        err = U_ZERO_ERROR;
        const int32_t r = ucnv_toUChars(cnv, converted.data(), n, t.narrow.data(), n, &err);
        if (U_FAILURE(err)) state.SkipWithError("ucnv_toUChars");
        converted.resize(static_cast<std::size_t>(r));
        benchmark::DoNotOptimize(converted.data());
    }
    ucnv_close(cnv);
    setBytes(state, bytes);
}

void toServiceIcuUstr(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    const auto n = static_cast<int32_t>(t.narrow.size());
    for (auto _ : state) {
        std::u16string converted(t.narrow.size(), u'\0');
        UErrorCode err = U_ZERO_ERROR;
        int32_t r = 0;
        u_strFromUTF8(converted.data(), n, &r, t.narrow.data(), n, &err);
        if (U_FAILURE(err)) state.SkipWithError("u_strFromUTF8");
        converted.resize(static_cast<std::size_t>(r));
        benchmark::DoNotOptimize(converted.data());
    }
    setBytes(state, bytes);
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
using Utf8Convert = std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t>;

void toServiceCodecvt(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    Utf8Convert convert;
    for (auto _ : state) {
        std::u16string converted = convert.from_bytes(t.narrow.data(), t.narrow.data() + t.narrow.size());
        benchmark::DoNotOptimize(converted.data());
    }
    setBytes(state, bytes);
}

void toNarrowCodecvt(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    Utf8Convert convert;
    for (auto _ : state) {
        std::string converted = convert.to_bytes(t.wide.data(), t.wide.data() + t.wide.size());
        benchmark::DoNotOptimize(converted.data());
    }
    setBytes(state, bytes);
}
#pragma GCC diagnostic pop

// --- service to narrow -------------------------------------------------------------------------------

void toNarrowBridge(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    const auto source = System::gcnew<String>(t.wide);
    const unsigned previous = win32::SetThreadAnsiCodePage(bench::codePageOf(e));
    for (auto _ : state) {
        std::string converted = marshal_as<std::string>(source);
        benchmark::DoNotOptimize(converted.data());
    }
    win32::SetThreadAnsiCodePage(previous);
    setBytes(state, bytes);
}

void toNarrowFloor(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    const std::u16string units(t.narrow.begin(), t.narrow.end());
    for (auto _ : state) {
        std::string converted(units.begin(), units.end());
        benchmark::DoNotOptimize(converted.data());
    }
    setBytes(state, bytes);
}

// The references write into a buffer of the largest size the page can need and then shorten it.
std::size_t maxBytes(Encoding e, std::size_t units) {
    return e == Encoding::Utf8 ? units * 3 : units;
}

void toNarrowIconv(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    const iconv_t cd = iconv_open(iconvName(e), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
    for (auto _ : state) {
        std::string converted(maxBytes(e, t.wide.size()), '\0');
        char* in = reinterpret_cast<char*>(const_cast<char16_t*>(t.wide.data()));
        std::size_t inLeft = t.wide.size() * 2;
        char* out = converted.data();
        std::size_t outLeft = converted.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) state.SkipWithError("iconv");
        converted.resize(converted.size() - outLeft);
        benchmark::DoNotOptimize(converted.data());
    }
    iconv_close(cd);
    setBytes(state, bytes);
}

void toNarrowIcu(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    UErrorCode err = U_ZERO_ERROR;
    UConverter* cnv = ucnv_open(icuName(e), &err);
    const auto units = static_cast<int32_t>(t.wide.size());
    for (auto _ : state) {
        std::string converted(maxBytes(e, t.wide.size()), '\0');
        err = U_ZERO_ERROR;
        const int32_t r =
            ucnv_fromUChars(cnv, converted.data(), static_cast<int32_t>(converted.size()), t.wide.data(), units, &err);
        if (U_FAILURE(err)) state.SkipWithError("ucnv_fromUChars");
        converted.resize(static_cast<std::size_t>(r));
        benchmark::DoNotOptimize(converted.data());
    }
    ucnv_close(cnv);
    setBytes(state, bytes);
}

void toNarrowIcuUstr(benchmark::State& state, Encoding e, std::size_t bytes) {
    const Text& t = text(e, bytes);
    const auto units = static_cast<int32_t>(t.wide.size());
    for (auto _ : state) {
        std::string converted(maxBytes(e, t.wide.size()), '\0');
        UErrorCode err = U_ZERO_ERROR;
        int32_t r = 0;
        u_strToUTF8(converted.data(), static_cast<int32_t>(converted.size()), &r, t.wide.data(), units, &err);
        if (U_FAILURE(err)) state.SkipWithError("u_strToUTF8");
        converted.resize(static_cast<std::size_t>(r));
        benchmark::DoNotOptimize(converted.data());
    }
    setBytes(state, bytes);
}

using TextBenchmark = void (*)(benchmark::State&, Encoding, std::size_t);

const bool registered = [] {
    struct Variant {
        const char* name;
        TextBenchmark toService;
        TextBenchmark toNarrow;
        bool utf8Only;
    };
    const Variant variants[] = {
        {"bridge", toServiceBridge, toNarrowBridge, false},    {"floor", toServiceFloor, toNarrowFloor, false},
        {"iconv", toServiceIconv, toNarrowIconv, false},       {"icu", toServiceIcu, toNarrowIcu, false},
        {"icu_ustr", toServiceIcuUstr, toNarrowIcuUstr, true}, {"codecvt", toServiceCodecvt, toNarrowCodecvt, true},
    };
    for (const Encoding e : kEncodings) {
        for (const char* direction : {"to_service", "to_narrow"}) {
            for (const std::size_t bytes : kSizes) {
                for (const Variant& v : variants) {
                    if (v.utf8Only && e != Encoding::Utf8) continue;
                    const std::string name = "text/" + std::string(bench::encodingName(e)) + "/" + direction + "/" +
                                             std::to_string(bytes) + "/" + v.name;
                    const bool toService = std::string_view(direction) == "to_service";
                    benchmark::RegisterBenchmark(name.c_str(), toService ? v.toService : v.toNarrow, e, bytes);
                }
            }
        }
    }
    return true;
}();

} // namespace
