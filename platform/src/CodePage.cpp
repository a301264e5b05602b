// The Windows code-page conversions. UTF-8 is converted by hand, the single-byte pages through
// tables built once from ICU, the double-byte pages through ICU converters cached per thread.
#include <win32/CodePage.h>

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/uset.h>

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace win32 {
namespace {

using Byte = unsigned char;

// Returned by the converters when the output does not fit.
constexpr std::size_t kOverflow = SIZE_MAX;
constexpr char16_t kReplacement = 0xFFFD;

// ---------------------------------------------------------------------------------------------
// Per-thread state

struct ThreadState {
    DWORD lastError;
    UINT page; // valid when pageSet
    bool pageSet;
    UINT derivedPage; // the page derived from `codeset`, 0 when none yet
    char codeset[32]; // the locale character set `derivedPage` was derived from
};
// Zero-initialised and trivially destructible, so access needs no initialisation guard.
thread_local ThreadState tState;

int fail(DWORD error) {
    tState.lastError = error;
    return 0;
}

// The page for a C library character-set name; anything unknown is taken as US-ASCII.
UINT pageForCodeset(const char* codeset) {
    // Compare on upper-case letters and digits only, so "UTF-8", "utf8" and "UTF_8" agree.
    char name[24];
    std::size_t len = 0;
    for (const char* p = codeset; *p != '\0' && len < sizeof name; ++p) {
        const char c = *p;
        if (c >= 'a' && c <= 'z')
            name[len++] = static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            name[len++] = c;
    }
    const std::string_view n(name, len);
    if (n == "UTF8") return 65001;
    if (n == "ISO88591" || n == "LATIN1") return 28591;
    for (const std::string_view prefix : {"CP125", "WINDOWS125"}) {
        if (n.size() == prefix.size() + 1 && n.starts_with(prefix) && n.back() >= '0' && n.back() <= '8')
            return 1250 + static_cast<UINT>(n.back() - '0');
    }
    if (n == "EUCJP" || n == "SHIFTJIS" || n == "SJIS" || n == "CP932") return 932;
    if (n == "GB2312" || n == "GBK" || n == "GB18030" || n == "EUCCN" || n == "CP936") return 936;
    if (n == "EUCKR" || n == "UHC" || n == "CP949") return 949;
    if (n == "BIG5" || n == "BIG5HKSCS" || n == "CP950") return 950;
    if (n == "TIS620" || n == "CP874") return 874;
    return 20127;
}

// The thread's page. While none was set it is derived again on every call from the thread's current
// C locale (a cached string compare when the character set is unchanged), so a thread that switches
// locale, or a program that calls setlocale after an early conversion, gets the matching page.
UINT threadPage() {
    ThreadState& st = tState;
    if (st.pageSet) return st.page;
    const locale_t loc = uselocale(nullptr);
    const char* codeset = loc == LC_GLOBAL_LOCALE ? nl_langinfo(CODESET) : nl_langinfo_l(CODESET, loc);
    if (codeset == nullptr) codeset = "";
    if (st.derivedPage != 0 && std::strncmp(codeset, st.codeset, sizeof st.codeset) == 0) return st.derivedPage;
    const UINT page = pageForCodeset(codeset);
    const std::size_t len = std::strlen(codeset);
    if (len < sizeof st.codeset) {
        std::memcpy(st.codeset, codeset, len + 1);
        st.derivedPage = page;
    }
    return page;
}

// ---------------------------------------------------------------------------------------------
// Supported pages

enum class Kind : std::uint8_t { Utf8, SingleByte, DoubleByte };

struct PageInfo {
    Kind kind;
    std::uint8_t slot; // index into the single- or double-byte page arrays
    const char* icuName;
    bool fillHoles; // bytes ICU leaves unmapped decode to U+00xx of the same value
};

constexpr std::size_t kSingleBytePages = 12;
constexpr std::size_t kDoubleBytePages = 4;

constexpr PageInfo kUtf8Page{Kind::Utf8, 0, nullptr, false};
// US-ASCII takes bytes 0x80-0xFF as invalid (U+FFFD) rather than stripping their high bit.
constexpr PageInfo kSingleBytePageInfo[kSingleBytePages] = {
    {Kind::SingleByte, 0, "US-ASCII", false},        {Kind::SingleByte, 1, "ISO-8859-1", false},
    {Kind::SingleByte, 2, "windows-874-2000", true}, {Kind::SingleByte, 3, "windows-1250", true},
    {Kind::SingleByte, 4, "windows-1251", true},     {Kind::SingleByte, 5, "windows-1252", true},
    {Kind::SingleByte, 6, "windows-1253", true},     {Kind::SingleByte, 7, "windows-1254", true},
    {Kind::SingleByte, 8, "windows-1255", true},     {Kind::SingleByte, 9, "windows-1256", true},
    {Kind::SingleByte, 10, "windows-1257", true},    {Kind::SingleByte, 11, "windows-1258", true},
};
constexpr PageInfo kDoubleBytePageInfo[kDoubleBytePages] = {
    {Kind::DoubleByte, 0, "ibm-943_P15A-2003", false}, // ICU's Windows-932 table
    {Kind::DoubleByte, 1, "windows-936-2000", false},
    {Kind::DoubleByte, 2, "windows-949-2000", false},
    {Kind::DoubleByte, 3, "windows-950-2000", false},
};

const PageInfo* findPage(UINT codePage) {
    switch (codePage) {
    case 65001:
        return &kUtf8Page;
    case 20127:
        return &kSingleBytePageInfo[0];
    case 28591:
        return &kSingleBytePageInfo[1];
    case 874:
        return &kSingleBytePageInfo[2];
    case 932:
        return &kDoubleBytePageInfo[0];
    case 936:
        return &kDoubleBytePageInfo[1];
    case 949:
        return &kDoubleBytePageInfo[2];
    case 950:
        return &kDoubleBytePageInfo[3];
    default:
        if (codePage >= 1250 && codePage <= 1258) return &kSingleBytePageInfo[3 + (codePage - 1250)];
        return nullptr;
    }
}

const PageInfo* resolvePage(UINT codePage) {
    return findPage(codePage == CP_ACP || codePage == CP_THREAD_ACP ? threadPage() : codePage);
}

// ---------------------------------------------------------------------------------------------
// ASCII runs, which map to the same unit on every supported page

// Widens the leading ASCII bytes of s[0, n) into out, which has room for n units; returns their count.
std::size_t widenAscii(const Byte* s, std::size_t n, char16_t* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        if (_mm_movemask_epi8(v) != 0) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
    }
#else
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s + i, 8);
        if ((w & 0x8080808080808080u) != 0) break;
        for (std::size_t k = 0; k < 8; ++k) out[i + k] = s[i + k];
    }
#endif
    for (; i < n && s[i] < 0x80; ++i) out[i] = s[i];
    return i;
}

// The number of leading ASCII bytes of s[0, n).
std::size_t asciiLength(const Byte* s, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i))) != 0) break;
    }
#else
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s + i, 8);
        if ((w & 0x8080808080808080u) != 0) break;
    }
#endif
    while (i < n && s[i] < 0x80) ++i;
    return i;
}

// Narrows the leading ASCII units of s[0, n) into out, which has room for n bytes; returns their
// count. With out null it only counts them.
std::size_t narrowAscii(const char16_t* s, std::size_t n, char* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_set1_epi16(-128); // 0xFF80: the bits of a non-ASCII unit
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 8));
        const __m128i bits = _mm_and_si128(_mm_or_si128(a, b), high);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(bits, zero)) != 0xFFFF) break;
        if (out != nullptr) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    }
#else
    for (; i + 4 <= n; i += 4) {
        std::uint64_t w;
        std::memcpy(&w, s + i, 8);
        if ((w & 0xFF80FF80FF80FF80u) != 0) break;
        if (out != nullptr)
            for (std::size_t k = 0; k < 4; ++k) out[i + k] = static_cast<char>(s[i + k]);
    }
#endif
    for (; i < n && s[i] < 0x80; ++i)
        if (out != nullptr) out[i] = static_cast<char>(s[i]);
    return i;
}

bool isLeadSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isTrailSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// ---------------------------------------------------------------------------------------------
// UTF-8

// Decodes the non-ASCII sequence at s[0, n): returns the bytes consumed and the code point, or
// U+FFFD for a maximal invalid subpart (a bad lead byte, or a lead with the valid trail bytes it had).
std::size_t decodeUtf8Sequence(const Byte* s, std::size_t n, char32_t& cp) {
    const unsigned lead = s[0];
    std::size_t trailBytes;
    char32_t c;
    unsigned lo = 0x80, hi = 0xBF; // valid range of the first trail byte, which excludes overlongs,
                                   // surrogates and code points above U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailBytes = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailBytes = 2;
        c = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailBytes = 3;
        c = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        cp = kReplacement;
        return 1;
    }
    for (std::size_t k = 1; k <= trailBytes; ++k) {
        if (k >= n || s[k] < lo || s[k] > hi) {
            cp = kReplacement;
            return k;
        }
        c = (c << 6) | (s[k] & 0x3Fu);
        lo = 0x80;
        hi = 0xBF;
    }
    cp = c;
    return trailBytes + 1;
}

// UTF-8 to UTF-16: counting only (Write false), or writing to out[0, cap), where Checked says
// whether cap may run out (UTF-16 never has more units than the UTF-8 has bytes).
template <bool Write, bool Checked>
std::size_t decodeUtf8(const Byte* s, std::size_t n, char16_t* out, std::size_t cap) {
    std::size_t i = 0, o = 0;
    while (i < n) {
        const unsigned lead = s[i];
        if (lead < 0x80) {
            std::size_t run;
            if constexpr (Write) {
                const std::size_t room = Checked ? std::min(n - i, cap - o) : n - i;
                if (room == 0) return kOverflow;
                run = widenAscii(s + i, room, out + o);
            } else {
                run = asciiLength(s + i, n - i);
            }
            i += run;
            o += run;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            // The common two-byte form, inline.
            if constexpr (Write) {
                if (Checked && o == cap) return kOverflow;
                out[o] = static_cast<char16_t>(((lead & 0x1F) << 6) | (s[i + 1] & 0x3Fu));
            }
            i += 2;
            ++o;
            continue;
        }
        char32_t cp;
        i += decodeUtf8Sequence(s + i, n - i, cp);
        const std::size_t units = cp >= 0x10000 ? 2 : 1;
        if constexpr (Write) {
            if (Checked && cap - o < units) return kOverflow;
            if (units == 2) {
                out[o] = static_cast<char16_t>(0xD7C0 + (cp >> 10));
                out[o + 1] = static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
            } else {
                out[o] = static_cast<char16_t>(cp);
            }
        }
        o += units;
    }
    return o;
}

std::size_t decodeUtf8(const Byte* s, std::size_t n, char16_t* out, std::size_t cap) {
    if (out == nullptr) return decodeUtf8<false, false>(s, n, nullptr, 0);
    if (cap >= n) return decodeUtf8<true, false>(s, n, out, cap);
    return decodeUtf8<true, true>(s, n, out, cap);
}

// UTF-16 to UTF-8 into out[0, cap), or only counting when out is null. A lone surrogate becomes
// U+FFFD.
std::size_t encodeUtf8(const char16_t* s, std::size_t n, char* out, std::size_t cap) {
    std::size_t i = 0, o = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            const std::size_t room = out != nullptr ? std::min(n - i, cap - o) : n - i;
            const std::size_t run = narrowAscii(s + i, room, out != nullptr ? out + o : nullptr);
            if (run == 0) return kOverflow;
            i += run;
            o += run;
            continue;
        }
        char32_t c = s[i++];
        if (isLeadSurrogate(c) && i < n && isTrailSurrogate(s[i]))
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i++] - 0xDC00);
        else if (isLeadSurrogate(c) || isTrailSurrogate(c))
            c = kReplacement;
        const std::size_t bytes = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (out != nullptr) {
            if (cap - o < bytes) return kOverflow;
            char* p = out + o;
            if (bytes == 2) {
                p[0] = static_cast<char>(0xC0 | (c >> 6));
            } else if (bytes == 3) {
                p[0] = static_cast<char>(0xE0 | (c >> 12));
                p[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            } else {
                p[0] = static_cast<char>(0xF0 | (c >> 18));
                p[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                p[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            }
            p[bytes - 1] = static_cast<char>(0x80 | (c & 0x3F));
        }
        o += bytes;
    }
    return o;
}

// ---------------------------------------------------------------------------------------------
// Single-byte pages: a decode table and a two-level reverse table, built once per process from ICU

constexpr std::size_t kMaxBlocks = 16;

struct SingleByteTable {
    bool ok; // false when ICU could not open the page
    char16_t decode[256];
    std::uint8_t blockOf[256];            // high byte of a unit -> block, 0 (all zero) for none
    std::uint8_t blocks[kMaxBlocks][256]; // low byte of a unit -> byte, 0 for no exact mapping
};

// Zero-initialised, so usable from other modules' static initialisers.
SingleByteTable gSingleTables[kSingleBytePages];
std::atomic<bool> gSingleReady[kSingleBytePages];
std::mutex gSingleBuild;

void buildSingleTable(SingleByteTable& t, const PageInfo& page) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* cnv = ucnv_open(page.icuName, &err);
    if (U_FAILURE(err)) return;
    ucnv_setFallback(cnv, false);
    ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    bool mapped[256] = {};
    bool latin1Taken[256] = {}; // U+0000..U+00FF already the mapping of some byte
    for (unsigned b = 0; b < 256; ++b) {
        const char in = static_cast<char>(b);
        const char* src = &in;
        UChar units[2];
        UChar* dst = units;
        UErrorCode e = U_ZERO_ERROR;
        ucnv_resetToUnicode(cnv);
        ucnv_toUnicode(cnv, &dst, units + 2, &src, &in + 1, nullptr, true, &e);
        mapped[b] = U_SUCCESS(e) && dst == units + 1;
        t.decode[b] = mapped[b] ? units[0] : kReplacement;
        if (mapped[b] && units[0] < 256) latin1Taken[units[0]] = true;
    }
    ucnv_close(cnv);
    // Windows decodes the unassigned bytes of its single-byte pages to the same-valued U+00xx.
    if (page.fillHoles) {
        for (unsigned b = 0x80; b < 256; ++b) {
            if (!mapped[b] && !latin1Taken[b]) {
                t.decode[b] = static_cast<char16_t>(b);
                mapped[b] = true;
            }
        }
    }
    std::uint8_t blocksUsed = 1;
    for (unsigned b = 0x80; b < 256; ++b) {
        const char16_t u = t.decode[b];
        if (!mapped[b] || u < 0x80) continue;
        std::uint8_t& block = t.blockOf[u >> 8];
        if (block == 0) {
            if (blocksUsed == kMaxBlocks) continue;
            block = blocksUsed++;
        }
        std::uint8_t& entry = t.blocks[block][u & 0xFF];
        if (entry == 0) entry = static_cast<std::uint8_t>(b);
    }
    t.ok = true;
}

const SingleByteTable& singleTable(const PageInfo& page) {
    std::atomic<bool>& ready = gSingleReady[page.slot];
    if (!ready.load(std::memory_order_acquire)) {
        const std::lock_guard lock(gSingleBuild);
        if (!ready.load(std::memory_order_relaxed)) {
            buildSingleTable(gSingleTables[page.slot], page);
            ready.store(true, std::memory_order_release);
        }
    }
    return gSingleTables[page.slot];
}

// Single-byte page to UTF-16: always one unit per byte.
std::size_t decodeSingle(const SingleByteTable& t, const Byte* s, std::size_t n, char16_t* out, std::size_t cap) {
    if (out == nullptr) return n;
    if (cap < n) return kOverflow;
    std::size_t i = 0;
    while (i < n) {
        i += widenAscii(s + i, n - i, out + i);
        for (; i < n && s[i] >= 0x80; ++i) out[i] = t.decode[s[i]];
    }
    return i;
}

// UTF-16 to a single-byte page, or only counting when out is null. A unit, or surrogate pair,
// without an exact mapping becomes `defaultChar`.
std::size_t encodeSingle(const SingleByteTable& t, const char16_t* s, std::size_t n, char* out, std::size_t cap,
                         char defaultChar, bool& usedDefault) {
    std::size_t i = 0, o = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            const std::size_t room = out != nullptr ? std::min(n - i, cap - o) : n - i;
            const std::size_t run = narrowAscii(s + i, room, out != nullptr ? out + o : nullptr);
            if (run == 0) return kOverflow;
            i += run;
            o += run;
            continue;
        }
        const char16_t u = s[i++];
        const std::uint8_t b = t.blocks[t.blockOf[u >> 8]][u & 0xFF];
        if (b == 0) {
            usedDefault = true;
            if (isLeadSurrogate(u) && i < n && isTrailSurrogate(s[i])) ++i;
        }
        if (out != nullptr) {
            if (o == cap) return kOverflow;
            out[o] = b != 0 ? static_cast<char>(b) : defaultChar;
        }
        ++o;
    }
    return o;
}

// ---------------------------------------------------------------------------------------------
// Double-byte pages through ICU

// Facts about a page's ICU table, found once per process: the ASCII codes ICU does not map to
// themselves (Windows does; ICU's Windows-932 table swaps 0x1A, 0x1C and 0x7F, none of which can be
// a trail byte), and the private-use characters with an exact mapping (ICU applies its private-use
// fallbacks even with fallbacks off).
constexpr char16_t kPrivateUseFirst = 0xE000, kPrivateUseLast = 0xF8FF;

struct DoubleByteTable {
    std::uint64_t asciiDiffers[2];
    std::uint8_t privateUseMapped[(kPrivateUseLast - kPrivateUseFirst + 8) / 8];
};
DoubleByteTable gDoubleTables[kDoubleBytePages];
std::atomic<bool> gDoubleReady[kDoubleBytePages];
std::mutex gDoubleBuild;

void buildDoubleTable(DoubleByteTable& t, UConverter* cnv) {
    for (unsigned b = 0; b < 0x80; ++b) {
        const char byte = static_cast<char>(b);
        const char* src = &byte;
        UChar unit[2];
        UChar* dst = unit;
        UErrorCode err = U_ZERO_ERROR;
        ucnv_resetToUnicode(cnv);
        ucnv_toUnicode(cnv, &dst, unit + 2, &src, &byte + 1, nullptr, true, &err);
        const bool decodesToItself = U_SUCCESS(err) && dst == unit + 1 && unit[0] == b;
        const UChar u = static_cast<UChar>(b);
        const UChar* usrc = &u;
        char bytes[4];
        char* bdst = bytes;
        err = U_ZERO_ERROR;
        ucnv_resetFromUnicode(cnv);
        ucnv_fromUnicode(cnv, &bdst, bytes + 4, &usrc, &u + 1, nullptr, true, &err);
        const bool encodesToItself = U_SUCCESS(err) && bdst == bytes + 1 && bytes[0] == byte;
        if (!decodesToItself || !encodesToItself) t.asciiDiffers[b / 64] |= std::uint64_t{1} << (b % 64);
    }
    UErrorCode err = U_ZERO_ERROR;
    USet* set = uset_openEmpty();
    ucnv_getUnicodeSet(cnv, set, UCNV_ROUNDTRIP_SET, &err);
    for (char32_t c = kPrivateUseFirst; U_SUCCESS(err) && c <= kPrivateUseLast; ++c) {
        const std::size_t bit = c - kPrivateUseFirst;
        if (uset_contains(set, static_cast<UChar32>(c)))
            t.privateUseMapped[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
    uset_close(set);
}

const DoubleByteTable& doubleTable(const PageInfo& page, UConverter* cnv) {
    std::atomic<bool>& ready = gDoubleReady[page.slot];
    if (!ready.load(std::memory_order_acquire)) {
        const std::lock_guard lock(gDoubleBuild);
        if (!ready.load(std::memory_order_relaxed)) {
            buildDoubleTable(gDoubleTables[page.slot], cnv);
            ready.store(true, std::memory_order_release);
        }
    }
    return gDoubleTables[page.slot];
}

bool asciiDiffers(const DoubleByteTable& t, unsigned c) {
    return ((t.asciiDiffers[c / 64] >> (c % 64)) & 1u) != 0;
}

// True for a private-use unit that the page cannot write exactly.
bool isUnmappedPrivateUse(const DoubleByteTable& t, char16_t u) {
    if (u < kPrivateUseFirst || u > kPrivateUseLast) return false;
    const std::size_t bit = u - kPrivateUseFirst;
    return (t.privateUseMapped[bit / 8] & (1u << (bit % 8))) == 0;
}

struct FromUnicodeContext {
    bool usedDefault;
};

// Malformed or unmapped input becomes U+FFFD (ICU's own callback may write U+001A instead).
void toUnicodeReplace(const void*, UConverterToUnicodeArgs* args, const char*, int32_t, UConverterCallbackReason reason,
                      UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return;
    *err = U_ZERO_ERROR;
    const UChar replacement = kReplacement;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, err);
}

// Every unit without an exact mapping, lone surrogates and the default-ignorable code points ICU's
// callbacks would silently drop included, becomes '?'.
void fromUnicodeDefault(const void* context, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
                        UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return;
    static_cast<FromUnicodeContext*>(const_cast<void*>(context))->usedDefault = true;
    *err = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, "?", 1, 0, err);
}

struct DoubleByteConverter {
    UConverter* cnv;
    bool openFailed;
    FromUnicodeContext context;
    const DoubleByteTable* table;
};

// The calling thread's converters, opened on first use and closed when the thread ends.
struct ConverterCache {
    DoubleByteConverter entries[kDoubleBytePages] = {};
    ConverterCache() = default;
    ConverterCache(const ConverterCache&) = delete;
    ConverterCache& operator=(const ConverterCache&) = delete;
    ~ConverterCache() {
        for (DoubleByteConverter& e : entries)
            if (e.cnv != nullptr) ucnv_close(e.cnv);
    }
};
thread_local ConverterCache tConverters;

DoubleByteConverter* doubleByteConverter(const PageInfo& page) {
    DoubleByteConverter& c = tConverters.entries[page.slot];
    if (c.cnv != nullptr) return &c;
    if (c.openFailed) return nullptr;
    UErrorCode err = U_ZERO_ERROR;
    UConverter* cnv = ucnv_open(page.icuName, &err);
    if (U_SUCCESS(err)) {
        // No fallback (best-fit) mappings in either direction.
        ucnv_setFallback(cnv, false);
        ucnv_setToUCallBack(cnv, toUnicodeReplace, nullptr, nullptr, nullptr, &err);
        ucnv_setFromUCallBack(cnv, fromUnicodeDefault, &c.context, nullptr, nullptr, &err);
    }
    if (U_FAILURE(err)) {
        if (cnv != nullptr) ucnv_close(cnv);
        c.openFailed = true;
        return nullptr;
    }
    c.table = &doubleTable(page, cnv);
    c.cnv = cnv;
    return &c;
}

// ASCII runs at least this long are converted here rather than by ICU, whose per-call cost is
// larger than converting this many characters itself.
constexpr std::size_t kMinAsciiRun = 16;

// The end of the segment from the non-ASCII byte s[i] to hand to ICU. A byte after an ASCII byte
// always starts a character, so the segment can end before any ASCII run but its first byte (a
// possible trail byte); it ends before a long ASCII run or an ASCII code ICU maps differently.
std::size_t doubleByteSegmentEnd(const DoubleByteTable& t, const Byte* s, std::size_t i, std::size_t n) {
    std::size_t e = i;
    while (e < n) {
        if (s[e] >= 0x80) {
            ++e;
            continue;
        }
        if (asciiDiffers(t, s[e])) return e;
        ++e;
        std::size_t run = 0;
        while (run < kMinAsciiRun && e + run < n && s[e + run] < 0x80) {
            if (asciiDiffers(t, s[e + run])) return e + run;
            ++run;
        }
        if (run == kMinAsciiRun) return e;
        e += run;
    }
    return e;
}

// Double-byte page to UTF-16: ASCII runs here, the segments between them through ICU.
std::size_t decodeDouble(DoubleByteConverter& c, const Byte* s, std::size_t n, char16_t* out, std::size_t cap) {
    std::size_t i = 0, o = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            std::size_t run;
            if (out != nullptr) {
                run = widenAscii(s + i, std::min(n - i, cap - o), out + o);
                if (run == 0) return kOverflow;
            } else {
                run = asciiLength(s + i, n - i);
            }
            i += run;
            o += run;
            continue;
        }
        const std::size_t end = doubleByteSegmentEnd(*c.table, s, i, n);
        const char* src = reinterpret_cast<const char*>(s + i);
        const char* srcEnd = reinterpret_cast<const char*>(s + end);
        UErrorCode err = U_ZERO_ERROR;
        ucnv_resetToUnicode(c.cnv);
        if (out != nullptr) {
            UChar* dst = out + o;
            ucnv_toUnicode(c.cnv, &dst, out + cap, &src, srcEnd, nullptr, true, &err);
            if (U_FAILURE(err)) return kOverflow;
            o = static_cast<std::size_t>(dst - out);
        } else {
            UChar scratch[256];
            do {
                err = U_ZERO_ERROR;
                UChar* dst = scratch;
                ucnv_toUnicode(c.cnv, &dst, scratch + 256, &src, srcEnd, nullptr, true, &err);
                o += static_cast<std::size_t>(dst - scratch);
            } while (err == U_BUFFER_OVERFLOW_ERROR);
            if (U_FAILURE(err)) return kOverflow;
        }
        i = end;
    }
    return o;
}

// The end of the segment from the non-ASCII unit s[i] to hand to ICU: before a long ASCII run, an
// ASCII code ICU maps differently, or a private-use character without an exact mapping.
std::size_t doubleByteSegmentEnd(const DoubleByteTable& t, const char16_t* s, std::size_t i, std::size_t n) {
    std::size_t e = i;
    while (e < n) {
        if (s[e] >= 0x80) {
            if (isUnmappedPrivateUse(t, s[e])) return e;
            ++e;
            continue;
        }
        std::size_t run = 0;
        while (run < kMinAsciiRun && e + run < n && s[e + run] < 0x80) {
            if (asciiDiffers(t, s[e + run])) return e + run;
            ++run;
        }
        if (run == kMinAsciiRun) return e;
        e += run;
    }
    return e;
}

// UTF-16 to a double-byte page: ASCII runs and unmapped private-use characters here, the segments
// between them through ICU.
std::size_t encodeDouble(DoubleByteConverter& c, const char16_t* s, std::size_t n, char* out, std::size_t cap,
                         bool& usedDefault) {
    c.context.usedDefault = false;
    std::size_t i = 0, o = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            const std::size_t room = out != nullptr ? std::min(n - i, cap - o) : n - i;
            const std::size_t run = narrowAscii(s + i, room, out != nullptr ? out + o : nullptr);
            if (run == 0) return kOverflow;
            i += run;
            o += run;
            continue;
        }
        const std::size_t end = doubleByteSegmentEnd(*c.table, s, i, n);
        if (end == i) {
            c.context.usedDefault = true;
            if (out != nullptr) {
                if (o == cap) return kOverflow;
                out[o] = '?';
            }
            ++o;
            ++i;
            continue;
        }
        const UChar* src = s + i;
        UErrorCode err = U_ZERO_ERROR;
        ucnv_resetFromUnicode(c.cnv);
        if (out != nullptr) {
            char* dst = out + o;
            ucnv_fromUnicode(c.cnv, &dst, out + cap, &src, s + end, nullptr, true, &err);
            if (U_FAILURE(err)) return kOverflow;
            o = static_cast<std::size_t>(dst - out);
        } else {
            char scratch[512];
            do {
                err = U_ZERO_ERROR;
                char* dst = scratch;
                ucnv_fromUnicode(c.cnv, &dst, scratch + sizeof scratch, &src, s + end, nullptr, true, &err);
                o += static_cast<std::size_t>(dst - scratch);
            } while (err == U_BUFFER_OVERFLOW_ERROR);
            if (U_FAILURE(err)) return kOverflow;
        }
        i = end;
    }
    usedDefault = c.context.usedDefault;
    return o;
}

// Checks a converter's result against the int-sized interface.
int finish(std::size_t count) {
    if (count == kOverflow) return fail(ERROR_INSUFFICIENT_BUFFER);
    if (count > static_cast<std::size_t>(INT_MAX)) return fail(ERROR_INVALID_PARAMETER);
    return static_cast<int>(count);
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int cbMultiByte, char16_t* wideChar,
                        int cchWideChar) {
    const PageInfo* page = resolvePage(codePage);
    if (page == nullptr) return fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~MB_PRECOMPOSED) != 0) return fail(ERROR_INVALID_FLAGS);
    if (multiByte == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && wideChar == nullptr))
        return fail(ERROR_INVALID_PARAMETER);

    const auto* s = reinterpret_cast<const Byte*>(multiByte);
    const std::size_t n = cbMultiByte == -1 ? std::strlen(multiByte) + 1 : static_cast<std::size_t>(cbMultiByte);
    char16_t* out = cchWideChar == 0 ? nullptr : wideChar;
    const auto cap = static_cast<std::size_t>(cchWideChar);
    switch (page->kind) {
    case Kind::Utf8:
        return finish(decodeUtf8(s, n, out, cap));
    case Kind::SingleByte: {
        const SingleByteTable& table = singleTable(*page);
        if (!table.ok) return fail(ERROR_INVALID_PARAMETER);
        return finish(decodeSingle(table, s, n, out, cap));
    }
    case Kind::DoubleByte: {
        DoubleByteConverter* cnv = doubleByteConverter(*page);
        if (cnv == nullptr) return fail(ERROR_INVALID_PARAMETER);
        return finish(decodeDouble(*cnv, s, n, out, cap));
    }
    }
    return fail(ERROR_INVALID_PARAMETER);
}

// Best-fit mappings are never written, with or without WC_NO_BEST_FIT_CHARS. Windows refuses that
// flag for UTF-8; it is accepted here, as a thread whose page is UTF-8 would otherwise fail every call.
int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wideChar, int cchWideChar, char* multiByte,
                        int cbMultiByte, const char* defaultChar, BOOL* usedDefaultChar) {
    const PageInfo* page = resolvePage(codePage);
    if (page == nullptr) return fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~WC_NO_BEST_FIT_CHARS) != 0) return fail(ERROR_INVALID_FLAGS);
    if (wideChar == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && multiByte == nullptr))
        return fail(ERROR_INVALID_PARAMETER);

    const std::size_t n =
        cchWideChar == -1 ? std::char_traits<char16_t>::length(wideChar) + 1 : static_cast<std::size_t>(cchWideChar);
    char* out = cbMultiByte == 0 ? nullptr : multiByte;
    const auto cap = static_cast<std::size_t>(cbMultiByte);
    bool usedDefault = false;
    std::size_t count = kOverflow;
    switch (page->kind) {
    case Kind::Utf8:
        // Lone surrogates become U+FFFD, which is not reported as a default character.
        count = encodeUtf8(wideChar, n, out, cap);
        break;
    case Kind::SingleByte: {
        const SingleByteTable& table = singleTable(*page);
        if (!table.ok) return fail(ERROR_INVALID_PARAMETER);
        count = encodeSingle(table, wideChar, n, out, cap, defaultChar != nullptr ? *defaultChar : '?', usedDefault);
        break;
    }
    case Kind::DoubleByte: {
        DoubleByteConverter* cnv = doubleByteConverter(*page);
        if (cnv == nullptr) return fail(ERROR_INVALID_PARAMETER);
        count = encodeDouble(*cnv, wideChar, n, out, cap, usedDefault);
        break;
    }
    }
    const int result = finish(count);
    if (result != 0 && usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? 1 : 0;
    return result;
}

UINT GetThreadAnsiCodePage() {
    return threadPage();
}

UINT SetThreadAnsiCodePage(UINT codePage) {
    const UINT previous = threadPage();
    tState.page = codePage;
    tState.pageSet = true;
    return previous;
}

bool IsSupportedCodePage(UINT codePage) {
    return findPage(codePage) != nullptr;
}

DWORD GetLastError() {
    return tState.lastError;
}

} // namespace win32
