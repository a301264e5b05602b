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
#include <tmmintrin.h>
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
// Zero-initialised and trivially destructible, so access needs no initialisation guard. Every
// conversion reads it, so it lives in the static TLS block (a few bytes of the space the C library
// keeps for libraries that are loaded later) rather than behind a lookup call.
__attribute__((tls_model("initial-exec"))) thread_local ThreadState tState;

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

#if defined(__SSE2__)
// Fast paths for the usual forms of UTF-8 and UTF-16, sixteen bytes or eight units at a time. Each
// stops where its form ends (or too near the end of the text or the output) and leaves the rest to the
// character-by-character code below, which decides everything else. The stride is fixed, so no load
// waits for the previous chunk's result. Writing uses SSSE3 byte shuffles where the processor has
// them, plain SSE2 stores otherwise.

// Initialises the CPU feature data itself, as a conversion may run in another module's static
// initialiser before the runtime has.
bool hasSsse3() {
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return supported;
}

unsigned popcount16(unsigned x) {
    x -= (x >> 1) & 0x5555u;
    x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
    x = (x + (x >> 4)) & 0x0F0Fu;
    return (x + (x >> 8)) & 0x1Fu;
}

[[gnu::always_inline]] inline __m128i blend(__m128i mask, __m128i ifSet, __m128i otherwise) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
}

// The sum of the eight 16-bit lanes.
std::size_t sum16(__m128i v) {
    const __m128i pairs = _mm_madd_epi16(v, _mm_set1_epi16(1));
    const __m128i two = _mm_add_epi32(pairs, _mm_shuffle_epi32(pairs, 0x4E));
    return static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_add_epi32(two, _mm_shuffle_epi32(two, 0xB1))));
}

// A UTF-8 chunk of the usual forms: ASCII, two-byte sequences, and three-byte sequences whose lead is
// E1 to EF but ED (E0 and ED restrict their second byte). Anything else (four-byte or malformed
// sequences) stops the fast paths. A sequence may run into the next chunk, which must then start with
// its trail bytes (`carry`).
struct Utf8Chunk {
    __m128i v, trailV, lead2V, lead3V;
    unsigned trail, lead2, lead3;
    unsigned expected; // trail bytes the leads (and the carry) call for, bits 16 and 17 in the next chunk
    bool usual;
};

[[gnu::always_inline]] inline Utf8Chunk classifyUtf8(__m128i v, unsigned carry) {
    Utf8Chunk c;
    c.v = v;
    // Signed compares: bytes from 0x80 up are negative (0xC0 is -64, 0xE0 -32, 0xED -19, 0xF0 -16).
    c.trailV = _mm_cmplt_epi8(c.v, _mm_set1_epi8(-64));
    c.lead2V = _mm_and_si128(_mm_cmpgt_epi8(c.v, _mm_set1_epi8(-63)), _mm_cmplt_epi8(c.v, _mm_set1_epi8(-32)));
    c.lead3V = _mm_andnot_si128(
        _mm_cmpeq_epi8(c.v, _mm_set1_epi8(-19)),
        _mm_and_si128(_mm_cmpgt_epi8(c.v, _mm_set1_epi8(-32)), _mm_cmplt_epi8(c.v, _mm_set1_epi8(-16))));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(c.v));
    c.trail = static_cast<unsigned>(_mm_movemask_epi8(c.trailV));
    c.lead2 = static_cast<unsigned>(_mm_movemask_epi8(c.lead2V));
    c.lead3 = static_cast<unsigned>(_mm_movemask_epi8(c.lead3V));
    c.expected = (c.lead2 << 1) | (c.lead3 << 1) | (c.lead3 << 2) | carry;
    c.usual = ((high & ~(c.trail | c.lead2 | c.lead3)) | ((c.expected ^ c.trail) & 0xFFFFu)) == 0;
    return c;
}

[[gnu::always_inline]] inline Utf8Chunk classifyUtf8(const Byte* s, unsigned carry) {
    return classifyUtf8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), carry);
}

// Shuffles that move the bytes from k on to the front and fill the end with zero bytes, for k from 0
// to 16: the text's last bytes, loaded as a whole vector, become a chunk of their own.
struct ShiftTable {
    alignas(16) std::uint8_t control[17][16];
};

constexpr ShiftTable makeShiftTable() {
    ShiftTable t{};
    for (unsigned k = 0; k <= 16; ++k)
        for (unsigned b = 0; b < 16; ++b) t.control[k][b] = static_cast<std::uint8_t>(b + k < 16 ? b + k : 0x80);
    return t;
}
constexpr ShiftTable kShift = makeShiftTable();

// When a run stops inside a sequence, the sequence is handed back whole: its lead is 2 bytes back
// (three-byte lead at 14) or 1 (lead at 15), and it was counted as one unit.
[[gnu::always_inline]] inline void handBack(const Utf8Chunk& last, unsigned carry, std::size_t& i, std::size_t& o) {
    if (carry == 0) return;
    i -= (last.lead3 & 0x4000u) != 0 ? 2 : 1;
    o -= 1;
}

// Each byte's UTF-16 unit as if a character started there, in two halves of eight lanes. `room` is
// the number of bytes from s on; in the text's last chunk the bytes after it read as zero (a sequence
// running past the end is handed back, so its unit is never kept).
[[gnu::always_inline]] inline void utf8Candidates(const Byte* s, std::size_t room, const Utf8Chunk& c, __m128i& lo,
                                                  __m128i& hi) {
    const __m128i zero = _mm_setzero_si128();
    const bool inside = room >= 18;
    const __m128i next = inside ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 1)) : _mm_srli_si128(c.v, 1);
    const __m128i afterNext =
        inside ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2)) : _mm_srli_si128(c.v, 2);
    const __m128i low5 = _mm_set1_epi16(0x1F), low4 = _mm_set1_epi16(0x0F), low6 = _mm_set1_epi16(0x3F);
    const auto decode = [&](__m128i b0, __m128i b1, __m128i b2, __m128i is2, __m128i is3) {
        const __m128i t1 = _mm_and_si128(b1, low6);
        const __m128i two = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(b0, low5), 6), t1);
        const __m128i three = _mm_or_si128(
            _mm_or_si128(_mm_slli_epi16(_mm_and_si128(b0, low4), 12), _mm_slli_epi16(t1, 6)), _mm_and_si128(b2, low6));
        return blend(is3, three, blend(is2, two, b0));
    };
    lo = decode(_mm_unpacklo_epi8(c.v, zero), _mm_unpacklo_epi8(next, zero), _mm_unpacklo_epi8(afterNext, zero),
                _mm_unpacklo_epi8(c.lead2V, c.lead2V), _mm_unpacklo_epi8(c.lead3V, c.lead3V));
    hi = decode(_mm_unpackhi_epi8(c.v, zero), _mm_unpackhi_epi8(next, zero), _mm_unpackhi_epi8(afterNext, zero),
                _mm_unpackhi_epi8(c.lead2V, c.lead2V), _mm_unpackhi_epi8(c.lead3V, c.lead3V));
}

// Counts the UTF-16 units of the usual forms from s[i].
void countUtf8Run(const Byte* s, std::size_t n, std::size_t& i, std::size_t& o) {
    unsigned carry = 0;
    Utf8Chunk last{};
    __m128i trails = _mm_setzero_si128(); // trail bytes per lane, summed before a lane can overflow
    std::size_t chunks = 0;
    const auto settle = [&] {
        const __m128i sums = _mm_sad_epu8(trails, _mm_setzero_si128());
        o += 16 * chunks - static_cast<std::size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
        trails = _mm_setzero_si128();
        chunks = 0;
    };
    while (i + 16 <= n) {
        const Utf8Chunk c = classifyUtf8(s + i, carry);
        if (!c.usual) break;
        trails = _mm_sub_epi8(trails, c.trailV);
        carry = c.expected >> 16;
        last = c;
        i += 16;
        if (++chunks == 255) settle();
    }
    settle();
    handBack(last, carry, i, o);
}

// Decodes the usual forms from s[i] into out[o...], storing each half's units with plain stores.
template <bool Checked>
void decodeUtf8RunSse2(const Byte* s, std::size_t n, std::size_t& i, char16_t* out, std::size_t& o, std::size_t cap) {
    unsigned carry = 0;
    Utf8Chunk last{};
    while (i + 16 <= n && (!Checked || cap - o >= 16)) {
        const Utf8Chunk c = classifyUtf8(s + i, carry);
        if (!c.usual) break;
        alignas(16) char16_t candidate[16];
        alignas(16) std::uint8_t slot[16];
        __m128i lo, hi;
        utf8Candidates(s + i, n - i, c, lo, hi);
        _mm_store_si128(reinterpret_cast<__m128i*>(candidate), lo);
        _mm_store_si128(reinterpret_cast<__m128i*>(candidate + 8), hi);
        // Each unit goes after the characters started before it; a trail byte's slot is taken by the next
        // character, or by the next chunk.
        const __m128i starts = _mm_andnot_si128(c.trailV, _mm_set1_epi8(1));
        __m128i before = _mm_add_epi8(starts, _mm_slli_si128(starts, 1));
        before = _mm_add_epi8(before, _mm_slli_si128(before, 2));
        before = _mm_add_epi8(before, _mm_slli_si128(before, 4));
        before = _mm_add_epi8(before, _mm_slli_si128(before, 8));
        _mm_store_si128(reinterpret_cast<__m128i*>(slot), _mm_sub_epi8(before, starts));
        char16_t* const base = out + o;
        for (std::size_t k = 0; k < 16; ++k) base[slot[k]] = candidate[k];
        o += 16 - popcount16(c.trail);
        i += 16;
        carry = c.expected >> 16;
        last = c;
    }
    handBack(last, carry, i, o);
}

// Shuffles that move the 16-bit lanes not set in an 8-bit mask to the front, keeping their order.
struct CompactTable {
    alignas(16) std::uint8_t shuffle[256][16];
    std::uint8_t kept[256];
};

constexpr CompactTable makeCompactTable() {
    CompactTable t{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        unsigned k = 0;
        for (unsigned lane = 0; lane < 8; ++lane) {
            if (((mask >> lane) & 1u) != 0) continue;
            t.shuffle[mask][2 * k] = static_cast<std::uint8_t>(2 * lane);
            t.shuffle[mask][2 * k + 1] = static_cast<std::uint8_t>(2 * lane + 1);
            ++k;
        }
        for (unsigned b = 2 * k; b < 16; ++b) t.shuffle[mask][b] = 0x80;
        t.kept[mask] = static_cast<std::uint8_t>(k);
    }
    return t;
}
constexpr CompactTable kCompact = makeCompactTable();

// As decodeUtf8RunSse2, moving each half's units together with one shuffle.
template <bool Checked>
__attribute__((target("ssse3"))) void decodeUtf8RunSsse3(const Byte* s, std::size_t n, std::size_t& i, char16_t* out,
                                                         std::size_t& o, std::size_t cap) {
    unsigned carry = 0;
    Utf8Chunk last{};
    while (i + 16 <= n && (!Checked || cap - o >= 16)) {
        const Utf8Chunk c = classifyUtf8(s + i, carry);
        if (!c.usual) break;
        __m128i lo, hi;
        utf8Candidates(s + i, n - i, c, lo, hi);
        const unsigned trailLo = c.trail & 0xFFu, trailHi = c.trail >> 8;
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + o),
            _mm_shuffle_epi8(lo, _mm_load_si128(reinterpret_cast<const __m128i*>(kCompact.shuffle[trailLo]))));
        o += kCompact.kept[trailLo];
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + o),
            _mm_shuffle_epi8(hi, _mm_load_si128(reinterpret_cast<const __m128i*>(kCompact.shuffle[trailHi]))));
        o += kCompact.kept[trailHi];
        i += 16;
        carry = c.expected >> 16;
        last = c;
    }
    handBack(last, carry, i, o);
    // Fewer than sixteen bytes left: the text's last sixteen, moved down so that those not decoded yet
    // come first, then zero bytes, which decode to U+0000 after them and are not counted.
    const std::size_t rest = n - i;
    if (rest == 0 || rest >= 16 || n < 16 || cap - o < 16) return;
    const __m128i v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 16)),
                                       _mm_load_si128(reinterpret_cast<const __m128i*>(kShift.control[16 - rest])));
    const Utf8Chunk c = classifyUtf8(v, 0);
    if (!c.usual) return;
    __m128i lo, hi;
    utf8Candidates(s + i, rest, c, lo, hi);
    const unsigned trailLo = c.trail & 0xFFu, trailHi = c.trail >> 8;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o),
                     _mm_shuffle_epi8(lo, _mm_load_si128(reinterpret_cast<const __m128i*>(kCompact.shuffle[trailLo]))));
    const std::size_t keptLo = kCompact.kept[trailLo];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o + keptLo),
                     _mm_shuffle_epi8(hi, _mm_load_si128(reinterpret_cast<const __m128i*>(kCompact.shuffle[trailHi]))));
    o += keptLo + kCompact.kept[trailHi] - (16 - rest);
    i = n;
}

// A UTF-16 chunk of eight units; the usual ones have no surrogate. The masks are all ones in the lanes
// where they hold, and give each unit's UTF-8 length.
struct Utf16Chunk {
    __m128i u, ascii, small; // small: below U+0800
    bool usual;
};

[[gnu::always_inline]] inline Utf16Chunk classifyUtf16(__m128i u) {
    Utf16Chunk c;
    const __m128i zero = _mm_setzero_si128();
    c.u = u;
    const __m128i top5 = _mm_and_si128(c.u, _mm_set1_epi16(static_cast<short>(0xF800)));
    c.usual = _mm_movemask_epi8(_mm_cmpeq_epi16(top5, _mm_set1_epi16(static_cast<short>(0xD800)))) == 0;
    c.ascii = _mm_cmpeq_epi16(_mm_and_si128(c.u, _mm_set1_epi16(static_cast<short>(0xFF80))), zero);
    c.small = _mm_cmpeq_epi16(top5, zero);
    return c;
}

[[gnu::always_inline]] inline Utf16Chunk classifyUtf16(const char16_t* s) {
    return classifyUtf16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
}

// Each unit's UTF-8: its first two bytes in `first`, its third in `last`.
[[gnu::always_inline]] inline void utf8Bytes(const Utf16Chunk& c, __m128i& first, __m128i& last) {
    const __m128i low6 = _mm_set1_epi16(0x3F), trailBit = _mm_set1_epi16(0x80);
    last = _mm_or_si128(_mm_and_si128(c.u, low6), trailBit);
    const __m128i middle = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(c.u, 6), low6), trailBit);
    const __m128i firstOfTwo =
        _mm_or_si128(_mm_or_si128(_mm_srli_epi16(c.u, 6), _mm_set1_epi16(0xC0)), _mm_slli_epi16(last, 8));
    const __m128i firstOfThree =
        _mm_or_si128(_mm_or_si128(_mm_srli_epi16(c.u, 12), _mm_set1_epi16(0xE0)), _mm_slli_epi16(middle, 8));
    first = blend(c.small, blend(c.ascii, c.u, firstOfTwo), firstOfThree);
}

// The bytes beyond one per unit: one more from U+0080, another from U+0800.
[[gnu::always_inline]] inline __m128i extraBytes(const Utf16Chunk& c) {
    const __m128i one = _mm_set1_epi16(1);
    return _mm_add_epi16(_mm_andnot_si128(c.ascii, one), _mm_andnot_si128(c.small, one));
}

// Counts the UTF-8 bytes of UTF-16 from s[i] while no unit is a surrogate.
void countUtf16Run(const char16_t* s, std::size_t n, std::size_t& i, std::size_t& o) {
    __m128i extra = _mm_setzero_si128(); // at most 2 per lane and chunk, summed while below 2^15
    std::size_t chunks = 0;
    while (i + 8 <= n) {
        const Utf16Chunk c = classifyUtf16(s + i);
        if (!c.usual) break;
        extra = _mm_add_epi16(extra, extraBytes(c));
        i += 8;
        o += 8;
        if (++chunks == 8192) {
            o += sum16(extra);
            extra = _mm_setzero_si128();
            chunks = 0;
        }
    }
    o += sum16(extra);
}

// Encodes UTF-16 from s[i] into out[o...] while no unit is a surrogate and out has room for 32 bytes:
// four bytes stored per unit at its offset, the extra ones overwritten by the next unit or chunk.
void encodeUtf8RunSse2(const char16_t* s, std::size_t n, std::size_t& i, char* out, std::size_t& o, std::size_t cap) {
    while (i + 8 <= n && cap - o >= 32) {
        const Utf16Chunk c = classifyUtf16(s + i);
        if (!c.usual) break;
        const __m128i length = _mm_add_epi16(_mm_set1_epi16(1), extraBytes(c));
        __m128i end = _mm_add_epi16(length, _mm_slli_si128(length, 2));
        end = _mm_add_epi16(end, _mm_slli_si128(end, 4));
        end = _mm_add_epi16(end, _mm_slli_si128(end, 8));
        __m128i first, last;
        utf8Bytes(c, first, last);
        alignas(16) std::uint32_t packed[8];
        alignas(16) std::uint16_t offset[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(packed), _mm_unpacklo_epi16(first, last));
        _mm_store_si128(reinterpret_cast<__m128i*>(packed + 4), _mm_unpackhi_epi16(first, last));
        _mm_store_si128(reinterpret_cast<__m128i*>(offset), _mm_sub_epi16(end, length));
        char* const base = out + o;
        for (std::size_t k = 0; k < 8; ++k) std::memcpy(base + offset[k], &packed[k], 4);
        i += 8;
        o += static_cast<std::size_t>(_mm_extract_epi16(end, 7));
    }
}

// Shuffles that keep the first 1, 2 or 3 bytes of each of four 32-bit lanes, indexed by a lane's
// ASCII flag in bits 0-3 and its below-U+0800 flag in bits 4-7 (a lane takes one byte, plus one
// without the first flag, plus one more without the second).
struct PackTable {
    alignas(16) std::uint8_t shuffle[256][16];
    std::uint8_t length[256];
};

constexpr PackTable makePackTable() {
    PackTable t{};
    for (unsigned index = 0; index < 256; ++index) {
        unsigned k = 0;
        for (unsigned lane = 0; lane < 4; ++lane) {
            const unsigned bytes = 3 - ((index >> lane) & 1u) - ((index >> (4 + lane)) & 1u);
            for (unsigned b = 0; b < bytes; ++b) t.shuffle[index][k++] = static_cast<std::uint8_t>(4 * lane + b);
        }
        t.length[index] = static_cast<std::uint8_t>(k);
        for (unsigned b = k; b < 16; ++b) t.shuffle[index][b] = 0x80;
    }
    return t;
}
constexpr PackTable kPack = makePackTable();

// Packs the UTF-8 of a chunk's units into out with one shuffle per half; returns the bytes.
__attribute__((target("ssse3"))) inline std::size_t packUtf8(const Utf16Chunk& c, char* out) {
    __m128i first, last;
    utf8Bytes(c, first, last);
    // The flags of lanes 0-3, then of lanes 4-7: one table index per byte.
    const __m128i flagBytes = _mm_packs_epi16(c.ascii, c.small);
    const auto flags = static_cast<unsigned>(_mm_movemask_epi8(_mm_shuffle_epi32(flagBytes, 0xD8)));
    const unsigned lowIndex = flags & 0xFFu, highIndex = flags >> 8;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_shuffle_epi8(_mm_unpacklo_epi16(first, last),
                                      _mm_load_si128(reinterpret_cast<const __m128i*>(kPack.shuffle[lowIndex]))));
    const std::size_t lowBytes = kPack.length[lowIndex];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + lowBytes),
                     _mm_shuffle_epi8(_mm_unpackhi_epi16(first, last),
                                      _mm_load_si128(reinterpret_cast<const __m128i*>(kPack.shuffle[highIndex]))));
    return lowBytes + kPack.length[highIndex];
}

// As encodeUtf8RunSse2, packing each half's bytes together with one shuffle.
__attribute__((target("ssse3"))) void encodeUtf8RunSsse3(const char16_t* s, std::size_t n, std::size_t& i, char* out,
                                                         std::size_t& o, std::size_t cap) {
    while (i + 8 <= n && cap - o >= 32) {
        const Utf16Chunk c = classifyUtf16(s + i);
        if (!c.usual) break;
        o += packUtf8(c, out + o);
        i += 8;
    }
    // Fewer than eight units left: the text's last eight, moved down so that those not encoded yet come
    // first, then zero units, which encode to one byte each after them and are not counted.
    const std::size_t rest = n - i;
    if (rest == 0 || rest >= 8 || n < 8 || cap - o < 32) return;
    const Utf16Chunk c = classifyUtf16(
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 8)),
                         _mm_load_si128(reinterpret_cast<const __m128i*>(kShift.control[2 * (8 - rest)]))));
    if (!c.usual) return;
    o += packUtf8(c, out + o) - (8 - rest);
    i = n;
}

#endif

// The fast runs a conversion loop uses: none, or the SSE2 or SSSE3 ones above.
enum class Runs { None, Sse2, Ssse3 };

// UTF-8 to UTF-16: counting only (Write false), or writing to out[0, cap), where Checked says
// whether cap may run out (UTF-16 never has more units than the UTF-8 has bytes).
template <bool Write, bool Checked, Runs With>
[[gnu::always_inline]] inline std::size_t decodeUtf8Loop(const Byte* s, std::size_t n, char16_t* out, std::size_t cap) {
    std::size_t i = 0, o = 0;
    std::size_t sequenceUntil = 0; // where the fast run is tried again after it stopped
    while (i < n) {
#if defined(__SSE2__)
        if (With != Runs::None && i >= sequenceUntil) {
            if constexpr (!Write)
                countUtf8Run(s, n, i, o);
            else if constexpr (With == Runs::Ssse3)
                decodeUtf8RunSsse3<Checked>(s, n, i, out, o, cap);
            else
                decodeUtf8RunSse2<Checked>(s, n, i, out, o, cap);
            sequenceUntil = i + 16;
            if (i >= n) break;
        }
#endif
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

// UTF-16 to UTF-8 into out[0, cap), or only counting when out is null. A lone surrogate becomes
// U+FFFD.
template <Runs With>
[[gnu::always_inline]] inline std::size_t encodeUtf8Loop(const char16_t* s, std::size_t n, char* out, std::size_t cap) {
    std::size_t i = 0, o = 0;
    std::size_t unitsUntil = 0; // where the fast run is tried again after it stopped
    while (i < n) {
#if defined(__SSE2__)
        if (With != Runs::None && i >= unitsUntil) {
            if (out == nullptr)
                countUtf16Run(s, n, i, o);
            else if constexpr (With == Runs::Ssse3)
                encodeUtf8RunSsse3(s, n, i, out, o, cap);
            else
                encodeUtf8RunSse2(s, n, i, out, o, cap);
            unitsUntil = i + 8;
            if (i >= n) break;
        }
#endif
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

#if defined(__SSE2__)
// The writing loops once more, compiled for SSSE3 so that its fast run is inlined into them.
template <bool Checked>
__attribute__((target("ssse3"))) std::size_t decodeUtf8Ssse3(const Byte* s, std::size_t n, char16_t* out,
                                                             std::size_t cap) {
    return decodeUtf8Loop<true, Checked, Runs::Ssse3>(s, n, out, cap);
}

__attribute__((target("ssse3"))) std::size_t encodeUtf8Ssse3(const char16_t* s, std::size_t n, char* out,
                                                             std::size_t cap) {
    return encodeUtf8Loop<Runs::Ssse3>(s, n, out, cap);
}

constexpr Runs kRuns = Runs::Sse2;
#else
constexpr Runs kRuns = Runs::None;
#endif

std::size_t decodeUtf8(const Byte* s, std::size_t n, char16_t* out, std::size_t cap) {
    // Text shorter than a chunk has nothing for the fast runs.
    if (n < 16) {
        if (out == nullptr) return decodeUtf8Loop<false, false, Runs::None>(s, n, nullptr, 0);
        return cap >= n ? decodeUtf8Loop<true, false, Runs::None>(s, n, out, cap)
                        : decodeUtf8Loop<true, true, Runs::None>(s, n, out, cap);
    }
    if (out == nullptr) return decodeUtf8Loop<false, false, kRuns>(s, n, nullptr, 0);
#if defined(__SSE2__)
    if (hasSsse3()) return cap >= n ? decodeUtf8Ssse3<false>(s, n, out, cap) : decodeUtf8Ssse3<true>(s, n, out, cap);
#endif
    if (cap >= n) return decodeUtf8Loop<true, false, kRuns>(s, n, out, cap);
    return decodeUtf8Loop<true, true, kRuns>(s, n, out, cap);
}

std::size_t encodeUtf8(const char16_t* s, std::size_t n, char* out, std::size_t cap) {
    if (n < 8) return encodeUtf8Loop<Runs::None>(s, n, out, cap);
#if defined(__SSE2__)
    if (out != nullptr && hasSsse3()) return encodeUtf8Ssse3(s, n, out, cap);
#endif
    return encodeUtf8Loop<kRuns>(s, n, out, cap);
}

// ---------------------------------------------------------------------------------------------
// Single-byte pages: a decode table and a two-level reverse table, built once per process from ICU

constexpr std::size_t kMaxBlocks = 16;

struct SingleByteTable {
    bool ok;                              // false when ICU could not open the page
    char16_t decode[256];                 // ASCII bytes decode to themselves
    std::uint8_t blockOf[256];            // high byte of a unit -> block, 0 (all zero) for none
    std::uint8_t blocks[kMaxBlocks][256]; // low byte of a unit -> byte, 0 for no exact mapping
    // From these values up to 0xFF, byte b and unit b map to each other, as ASCII does (0xA0 for
    // Windows-1252, 0x80 for ISO-8859-1, 0x100 where no such range exists). Text in that range needs
    // no table look-up.
    std::uint16_t decodeSameFrom;
    std::uint16_t encodeSameFrom;
};

std::uint8_t encodeByte(const SingleByteTable& t, char16_t u) {
    return t.blocks[t.blockOf[u >> 8]][u & 0xFF];
}

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
    for (unsigned b = 0; b < 0x80; ++b) t.decode[b] = static_cast<char16_t>(b);
    t.decodeSameFrom = 0x100;
    while (t.decodeSameFrom > 0x80 && t.decode[t.decodeSameFrom - 1] == t.decodeSameFrom - 1) --t.decodeSameFrom;
    t.encodeSameFrom = 0x100;
    while (t.encodeSameFrom > 0x80 &&
           encodeByte(t, static_cast<char16_t>(t.encodeSameFrom - 1)) == t.encodeSameFrom - 1)
        --t.encodeSameFrom;
    t.ok = true;
}

[[gnu::noinline]] void buildSingleTableOnce(const PageInfo& page) {
    const std::lock_guard lock(gSingleBuild);
    std::atomic<bool>& ready = gSingleReady[page.slot];
    if (!ready.load(std::memory_order_relaxed)) {
        buildSingleTable(gSingleTables[page.slot], page);
        ready.store(true, std::memory_order_release);
    }
}

// Read on every conversion, so the check for a built table stays inline.
[[gnu::always_inline]] inline const SingleByteTable& singleTable(const PageInfo& page) {
    if (!gSingleReady[page.slot].load(std::memory_order_acquire)) buildSingleTableOnce(page);
    return gSingleTables[page.slot];
}

// Single-byte page to UTF-16: always one unit per byte.
std::size_t decodeSingle(const SingleByteTable& t, const Byte* s, std::size_t n, char16_t* out, std::size_t cap) {
    if (out == nullptr) return n;
    if (cap < n) return kOverflow;
#if defined(__SSE2__)
    // Sixteen bytes at a time; a chunk with no byte in [0x80, decodeSameFrom) widens like ASCII (the
    // signed compare takes bytes from 0x80 up as negative). Byte k always gives unit k, so the last
    // chunk may overlap the one before it, and text of 8 to 15 bytes is two overlapping halves.
    const __m128i zero = _mm_setzero_si128();
    const __m128i sameFrom = _mm_set1_epi8(static_cast<char>(static_cast<int>(t.decodeSameFrom) - 256));
    const auto chunk = [&](std::size_t at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
        if (_mm_movemask_epi8(_mm_cmplt_epi8(v, sameFrom)) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8), _mm_unpackhi_epi8(v, zero));
        } else {
            for (std::size_t k = 0; k < 16; ++k) out[at + k] = t.decode[s[at + k]];
        }
    };
    const auto half = [&](std::size_t at) {
        const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + at));
        if ((_mm_movemask_epi8(_mm_cmplt_epi8(v, sameFrom)) & 0xFF) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(v, zero));
        } else {
            for (std::size_t k = 0; k < 8; ++k) out[at + k] = t.decode[s[at + k]];
        }
    };
    if (n >= 16) {
        std::size_t i = 0;
        for (; i + 16 <= n; i += 16) chunk(i);
        if (i < n) chunk(n - 16);
        return n;
    }
    if (n >= 8) {
        half(0);
        half(n - 8);
        return n;
    }
#endif
    for (std::size_t i = 0; i < n; ++i) out[i] = t.decode[s[i]];
    return n;
}

// Encodes s[i] (and its trail surrogate when the pair has no mapping) into *out unless out is null.
// Returns the units consumed.
std::size_t encodeSingleUnit(const SingleByteTable& t, const char16_t* s, std::size_t i, std::size_t n, char* out,
                             char defaultChar, bool& usedDefault) {
    const char16_t u = s[i];
    const std::uint8_t b = u < 0x80 ? static_cast<std::uint8_t>(u) : encodeByte(t, u);
    std::size_t consumed = 1;
    if (b == 0 && u >= 0x80) {
        usedDefault = true;
        if (isLeadSurrogate(u) && i + 1 < n && isTrailSurrogate(s[i + 1])) consumed = 2;
        if (out != nullptr) *out = defaultChar;
    } else if (out != nullptr) {
        *out = static_cast<char>(b);
    }
    return consumed;
}

// The byte count of s[0, n) on a single-byte page: one byte per unit, and one for a surrogate pair,
// which no single-byte page maps. (Which units take the default character is not found out.)
std::size_t countSingle(const char16_t* s, std::size_t n) {
    std::size_t i = 0, o = 0;
    while (i < n) {
#if defined(__SSE2__)
        // 32 units at a time while none is a surrogate (saturating: only units from U+D800 leave a rest).
        if (i + 32 <= n) {
            const __m128i below = _mm_set1_epi16(static_cast<short>(0xD7FF));
            const auto rest = [&](std::size_t k) {
                return _mm_subs_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + k)), below);
            };
            const __m128i any = _mm_or_si128(_mm_or_si128(rest(0), rest(8)), _mm_or_si128(rest(16), rest(24)));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(any, _mm_setzero_si128())) == 0xFFFF) {
                i += 32;
                o += 32;
                continue;
            }
        }
#endif
        const std::size_t end = std::min(n, i + 32);
        while (i < end) {
            i += isLeadSurrogate(s[i]) && i + 1 < n && isTrailSurrogate(s[i + 1]) ? 2 : 1;
            ++o;
        }
    }
    return o;
}

#if defined(__SSE2__)
// Encodes from s[i] while sixteen units remain; out, when written, has room for one byte per unit.
// Units below 0x80 or in [encodeSameFrom, 0xFF] pack like ASCII, 32 or 16 at a time; a chunk of 16
// with any other goes unit by unit.
template <bool Write>
void encodeSingleRun(const SingleByteTable& t, const char16_t* s, std::size_t n, std::size_t& i, char* out,
                     std::size_t& o, char defaultChar, bool& usedDefault) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i highByte = _mm_set1_epi16(static_cast<short>(0xFF00));
    // Signed byte compare: the packed bytes from 0x80 up are negative.
    const __m128i sameFrom = _mm_set1_epi8(static_cast<char>(static_cast<int>(t.encodeSameFrom) - 256));
    const auto load = [&](std::size_t k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + k)); };
    const auto byteSized = [&](__m128i any) {
        return _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(any, highByte), zero)) == 0xFFFF;
    };
    while (i + 16 <= n) {
        for (; i + 32 <= n; i += 32, o += 32) {
            const __m128i a = load(0), b = load(8), c = load(16), d = load(24);
            const __m128i low = _mm_packus_epi16(a, b), high = _mm_packus_epi16(c, d);
            if (!byteSized(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) ||
                _mm_movemask_epi8(_mm_or_si128(_mm_cmplt_epi8(low, sameFrom), _mm_cmplt_epi8(high, sameFrom))) != 0)
                break;
            if constexpr (Write) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), low);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o + 16), high);
            }
        }
        for (const std::size_t stop = std::min(n, i + 32); i + 16 <= stop;) {
            const __m128i a = load(0), b = load(8);
            const __m128i packed = _mm_packus_epi16(a, b);
            if (byteSized(_mm_or_si128(a, b)) && _mm_movemask_epi8(_mm_cmplt_epi8(packed, sameFrom)) == 0) {
                if constexpr (Write) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), packed);
                i += 16;
                o += 16;
                continue;
            }
            const std::size_t end = i + 16;
            while (i < end) {
                i += encodeSingleUnit(t, s, i, n, Write ? out + o : nullptr, defaultChar, usedDefault);
                ++o;
            }
        }
    }
    // While every unit so far gave one byte, byte k belongs to unit k, so the rest can be taken as the
    // last whole chunk, overlapping units already done (text of 8 to 15 units as two halves). Units it
    // cannot pack are left to the caller.
    if (i == n || o != i) return;
    if (n >= 16) {
        const std::size_t at = n - 16;
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at + 8));
        const __m128i packed = _mm_packus_epi16(a, b);
        if (!byteSized(_mm_or_si128(a, b)) || _mm_movemask_epi8(_mm_cmplt_epi8(packed, sameFrom)) != 0) return;
        if constexpr (Write) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), packed);
    } else if (n >= 8 && i == 0) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 8));
        const __m128i packed = _mm_packus_epi16(a, b);
        if (!byteSized(_mm_or_si128(a, b)) || _mm_movemask_epi8(_mm_cmplt_epi8(packed, sameFrom)) != 0) return;
        if constexpr (Write) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + n - 8), _mm_unpackhi_epi64(packed, packed));
        }
    } else {
        return;
    }
    i = n;
    o = n;
}
#endif

// UTF-16 to a single-byte page, or only counting when out is null. A unit, or surrogate pair,
// without an exact mapping becomes `defaultChar`.
std::size_t encodeSingle(const SingleByteTable& t, const char16_t* s, std::size_t n, char* out, std::size_t cap,
                         char defaultChar, bool& usedDefault) {
    std::size_t i = 0, o = 0;
#if defined(__SSE2__)
    // Never more bytes than units, so with room for those the output cannot run out.
    if (out == nullptr)
        encodeSingleRun<false>(t, s, n, i, nullptr, o, defaultChar, usedDefault);
    else if (cap >= n)
        encodeSingleRun<true>(t, s, n, i, out, o, defaultChar, usedDefault);
#endif
    while (i < n) {
        if (s[i] < 0x80) {
            const std::size_t room = out != nullptr ? std::min(n - i, cap - o) : n - i;
            const std::size_t run = narrowAscii(s + i, room, out != nullptr ? out + o : nullptr);
            if (run == 0) return kOverflow;
            i += run;
            o += run;
            continue;
        }
        if (out != nullptr && o == cap) return kOverflow;
        i += encodeSingleUnit(t, s, i, n, out != nullptr ? out + o : nullptr, defaultChar, usedDefault);
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
        // Measuring for a caller that does not ask about the default character only counts.
        if (out == nullptr && usedDefaultChar == nullptr)
            count = countSingle(wideChar, n);
        else
            count =
                encodeSingle(table, wideChar, n, out, cap, defaultChar != nullptr ? *defaultChar : '?', usedDefault);
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
