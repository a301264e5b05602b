// Any UTF-16 (lone surrogates, NULs, private use, noncharacters) to narrow text on every supported
// code page, through the plain and the optional string conversion, and back. The first byte picks
// the page and sets up the run (text_support.h); the rest are little-endian units. An odd byte left
// over adds the null string's checks.
#include "text_support.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

using System::Handle;
using System::String;
using via::marshal::marshal_as;

// Each code point of the input (a lone surrogate counts as one) comes back as itself or, where the
// page lacks it, as one default character. UTF-8 has every code point but writes U+FFFD for a lone
// surrogate.
bool keptOrDefaulted(std::u16string_view in, std::u16string_view out, bool utf8) {
    std::size_t i = 0, j = 0;
    while (i < in.size()) {
        const std::size_t len =
            fuzz::isLeadSurrogate(in[i]) && i + 1 < in.size() && fuzz::isTrailSurrogate(in[i + 1]) ? 2 : 1;
        const bool lone = len == 1 && (fuzz::isLeadSurrogate(in[i]) || fuzz::isTrailSurrogate(in[i]));
        const std::u16string_view unit = in.substr(i, len);
        if (!lone && out.substr(j, len) == unit)
            j += len;
        else if (j < out.size() && out[j] == (utf8 ? u'\xFFFD' : u'?') && (lone || !utf8))
            ++j;
        else
            return false;
        i += len;
    }
    return j == out.size();
}

void checkNull() {
    const Handle<String> null;
    fuzz::check(!marshal_as<std::optional<std::string>>(null).has_value(), "null string gives a value");
    try {
        (void)marshal_as<std::string>(null);
        fuzz::fail("null string converted");
    } catch (const System::ArgumentNullException& e) {
        fuzz::requireDocumented(e);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto [page, shortfall, lengthen] = fuzz::setup(data[0]);
    win32::SetThreadAnsiCodePage(page.id);
    std::u16string units((size - 1) / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[1 + 2 * i] | (data[2 + 2 * i] << 8));
    if (lengthen) fuzz::lengthen(units);
    if ((size - 1) % 2 != 0) checkNull();

    try {
        const auto service = System::gcnew<String>(std::u16string_view(units));
        const std::string narrow = marshal_as<std::string>(service);
        const std::optional<std::string> optional = marshal_as<std::optional<std::string>>(service);
        fuzz::check(optional.has_value() && *optional == narrow, "optional conversion differs");
        if (page.id == 20127)
            for (const char c : narrow) fuzz::check(static_cast<unsigned char>(c) < 0x80, "US-ASCII byte above 0x7F");

        // Read back, the narrow text holds no byte the page cannot decode: every code point is there
        // or defaulted, and a second trip leaves the bytes alone.
        const Handle<String> back = marshal_as<Handle<String>>(narrow);
        if (page.singleByte) fuzz::check(back->View().size() == narrow.size(), "not one unit per byte");
        fuzz::check(keptOrDefaulted(units, back->View(), page.id == 65001), "code point neither kept nor defaulted");
        fuzz::check(marshal_as<std::string>(back) == narrow, "narrow text not stable");

        if (narrow.size() > shortfall && shortfall > 0) {
            // Too small an output buffer fails cleanly and is not written past (ASan watches it).
            const int cap = static_cast<int>(narrow.size() - shortfall);
            const auto buffer = std::make_unique<char[]>(static_cast<std::size_t>(cap));
            const int r =
                win32::WideCharToMultiByte(win32::CP_THREAD_ACP, win32::WC_NO_BEST_FIT_CHARS, units.data(),
                                           static_cast<int>(units.size()), buffer.get(), cap, nullptr, nullptr);
            fuzz::check(r == 0 && win32::GetLastError() == win32::ERROR_INSUFFICIENT_BUFFER,
                        "short narrow buffer accepted");
        }
    } catch (const System::Exception& e) {
        fuzz::requireDocumented(e);
        fuzz::noteFailure(page, e);
    }
    return 0;
}
