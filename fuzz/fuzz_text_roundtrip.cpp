// Narrow text to a service string and back on every supported code page. The first byte picks the
// page and sets up the run (text_support.h); the rest is the narrow text.
#include "text_support.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace {

using System::Handle;
using System::String;
using via::marshal::marshal_as;

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t trail = 0;
        unsigned lo = 0x80, hi = 0xBF;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            trail = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            trail = 2;
            lo = b == 0xE0 ? 0xA0 : 0x80;
            hi = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            trail = 3;
            lo = b == 0xF0 ? 0x90 : 0x80;
            hi = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (s.size() - i <= trail) return false;
        for (std::size_t k = 1; k <= trail; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF)) return false;
        }
        i += trail + 1;
    }
    return true;
}

// The converters called directly, narrow to wide and wide back to narrow, with an output buffer
// `shortfall` elements smaller than needed: too small must fail with ERROR_INSUFFICIENT_BUFFER and
// write nothing outside it (ASan watches the heap buffer); exactly large enough gives the whole text.
void checkCapacity(std::string_view narrow, std::u16string_view units, std::string_view back, std::size_t shortfall) {
    if (units.size() > shortfall) {
        const int cap = static_cast<int>(units.size() - shortfall);
        const auto buffer = std::make_unique<char16_t[]>(static_cast<std::size_t>(cap));
        const int r = win32::MultiByteToWideChar(win32::CP_THREAD_ACP, 0, narrow.data(),
                                                 static_cast<int>(narrow.size()), buffer.get(), cap);
        if (shortfall > 0)
            fuzz::check(r == 0 && win32::GetLastError() == win32::ERROR_INSUFFICIENT_BUFFER,
                        "short wide buffer accepted");
        else
            fuzz::check(std::u16string_view(buffer.get(), static_cast<std::size_t>(r)) == units,
                        "exact wide buffer gives other units");
    }
    if (back.size() > shortfall) {
        const int cap = static_cast<int>(back.size() - shortfall);
        const auto buffer = std::make_unique<char[]>(static_cast<std::size_t>(cap));
        const int r = win32::WideCharToMultiByte(win32::CP_THREAD_ACP, win32::WC_NO_BEST_FIT_CHARS, units.data(),
                                                 static_cast<int>(units.size()), buffer.get(), cap, nullptr, nullptr);
        if (shortfall > 0)
            fuzz::check(r == 0 && win32::GetLastError() == win32::ERROR_INSUFFICIENT_BUFFER,
                        "short narrow buffer accepted");
        else
            fuzz::check(std::string_view(buffer.get(), static_cast<std::size_t>(r)) == back,
                        "exact narrow buffer gives other bytes");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto [page, shortfall, lengthen] = fuzz::setup(data[0]);
    win32::SetThreadAnsiCodePage(page.id);
    std::string narrow(reinterpret_cast<const char*>(data + 1), size - 1);
    if (lengthen) fuzz::lengthen(narrow);

    try {
        const Handle<String> service = marshal_as<Handle<String>>(narrow);
        fuzz::check(service != nullptr, "null service string");
        fuzz::check(marshal_as<Handle<String>>(std::string_view(narrow))->View() == service->View(),
                    "string and string view convert differently");
        if (page.singleByte) fuzz::check(service->View().size() == narrow.size(), "not one unit per byte");

        const std::string back = marshal_as<std::string>(service);
        if (page.exact) fuzz::check(back == narrow, "single-byte round trip not exact");
        if (page.id == 20127) {
            fuzz::check(back.size() == narrow.size(), "US-ASCII round trip changed the length");
            for (std::size_t i = 0; i < back.size(); ++i)
                fuzz::check(back[i] == (static_cast<unsigned char>(narrow[i]) < 0x80 ? narrow[i] : '?'),
                            "US-ASCII byte neither kept nor defaulted");
        }
        if (page.id == 65001) {
            fuzz::check(validUtf8(back), "UTF-8 round trip gives invalid UTF-8");
            if (validUtf8(narrow)) fuzz::check(back == narrow, "valid UTF-8 not kept");
        }
        // Whatever a page could not represent was replaced on the first trip; the second changes nothing.
        fuzz::check(marshal_as<std::string>(marshal_as<Handle<String>>(back)) == back, "round trip not stable");

        checkCapacity(narrow, service->View(), back, shortfall);
    } catch (const System::Exception& e) {
        fuzz::requireDocumented(e);
        fuzz::noteFailure(page, e);
        fuzz::check(!page.exact, "conversion failed on an exact single-byte page");
    }
    return 0;
}
