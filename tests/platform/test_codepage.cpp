// The Windows code-page functions: call shape, mappings, replacement rules and per-thread pages.
#include <win32/CodePage.h>

#include <gtest/gtest.h>

#include <locale.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace win32;
using namespace std::string_literals;

namespace {

std::u16string toWide(UINT cp, std::string_view s) {
    const int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::u16string w(static_cast<std::size_t>(n), u'\0');
    EXPECT_EQ(MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n), n);
    return w;
}

struct Narrow {
    std::string bytes;
    BOOL usedDefault;
};

Narrow toNarrow(UINT cp, std::u16string_view w, DWORD flags = WC_NO_BEST_FIT_CHARS, const char* defaultChar = nullptr) {
    Narrow r{{}, -1};
    const int n =
        WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), nullptr, 0, defaultChar, nullptr);
    r.bytes.resize(static_cast<std::size_t>(n));
    EXPECT_EQ(WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), r.bytes.data(), n, defaultChar,
                                  &r.usedDefault),
              n);
    return r;
}

// Runs `body` on a fresh thread, whose page has never been set.
template <typename F>
void onNewThread(F body) {
    std::thread(body).join();
}

} // namespace

// First here, so that the per-process tables are built while several threads race to use them.
TEST(CodePage, ConcurrentConversions) {
    const struct {
        UINT cp;
        std::u16string text;
    } samples[] = {
        {65001, u"h\u00E9llo \U0001F600"},
        {1252, u"h\u00E9llo \u20AC"},
        {1251, u"\u041F\u0440\u0438"},
        {874, u"\u0E01\u0E02"},
        {932, u"a\u65E5\u672C"},
        {936, u"\u4E2D\u6587"},
        {949, u"\uD55C"},
        {950, u"\u4E2D"},
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&samples] {
            for (int round = 0; round < 50; ++round)
                for (const auto& s : samples) {
                    const Narrow n = toNarrow(s.cp, s.text);
                    EXPECT_EQ(n.usedDefault, 0);
                    EXPECT_EQ(toWide(s.cp, n.bytes), s.text);
                }
        });
    }
    for (std::thread& t : threads) t.join();
}

TEST(CodePage, SingleBytePagesRoundTripEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (UINT cp : {28591u, 874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
        SCOPED_TRACE(cp);
        const std::u16string w = toWide(cp, all);
        ASSERT_EQ(w.size(), 256u);
        for (char16_t u : w) EXPECT_NE(u, u'\uFFFD');
        const Narrow back = toNarrow(cp, w);
        EXPECT_EQ(back.bytes, all);
        EXPECT_EQ(back.usedDefault, 0);
    }
    const std::u16string latin1 = toWide(28591, all);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(latin1[static_cast<std::size_t>(b)], b);
}

TEST(CodePage, Windows1252Bytes) {
    // The five unassigned bytes decode to the same-valued C1 controls, as on Windows.
    const struct {
        unsigned char byte;
        char16_t unit;
    } cases[] = {
        {0x41, u'A'},      {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x8D, u'\u008D'}, {0x8F, u'\u008F'},
        {0x90, u'\u0090'}, {0x9D, u'\u009D'}, {0x9F, u'\u0178'}, {0xE9, u'\u00E9'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.byte);
        EXPECT_EQ(toWide(1252, std::string(1, static_cast<char>(c.byte))), std::u16string(1, c.unit));
    }
}

TEST(CodePage, NarrowingWritesOnlyExactMappings) {
    const char star = '*';
    const struct {
        UINT cp;
        DWORD flags;
        std::u16string in;
        std::string out;
        BOOL usedDefault;
        const char* defaultChar;
    } cases[] = {
        {1252, WC_NO_BEST_FIT_CHARS, u"\u221E", "?", 1, nullptr}, // not '8'
        {1252, WC_NO_BEST_FIT_CHARS, u"\uFF21", "?", 1, nullptr}, // not 'A'
        {1252, 0, u"\u221E\uFF21", "??", 1, nullptr},             // flags 0: no best fit either
        {1252, 0, u"a\u00E9\u20AC", "a\xE9\x80", 0, nullptr},
        {1252, 0, u"\u221E", "*", 1, &star},
        {1252, 0, u"x\xD800y\xDC00", "x?y?", 1, nullptr}, // lone surrogates
        {1252, 0, u"\U0001F600", "?", 1, nullptr},        // one default per code point
        {20127, 0, u"caf\u00E9", "caf?", 1, nullptr},
        {932, WC_NO_BEST_FIT_CHARS, u"\u00E9\u00AD", "??", 1, nullptr}, // no 'e', soft hyphen not dropped
        {932, 0, u"\xD800", "?", 1, nullptr},
        {65001, WC_NO_BEST_FIT_CHARS, u"\xD800", "\xEF\xBF\xBD", 0, nullptr},
        {65001, 0, u"a\xDC00\U0001F600", "a\xEF\xBF\xBD\xF0\x9F\x98\x80", 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cp << " " << c.out);
        const Narrow r = toNarrow(c.cp, c.in, c.flags, c.defaultChar);
        EXPECT_EQ(r.bytes, c.out);
        EXPECT_EQ(r.usedDefault, c.usedDefault);
    }
}

TEST(CodePage, EveryNarrowedCharacterRoundTrips) {
    // Whatever a page writes for a BMP character other than its default decodes back to it.
    for (UINT cp : {20127u, 28591u, 874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u, 932u, 936u,
                    949u, 950u}) {
        SCOPED_TRACE(cp);
        int failures = 0;
        for (char32_t c = 1; c < 0x10000 && failures < 5; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            const char16_t u = static_cast<char16_t>(c);
            char bytes[4];
            BOOL used = 0;
            const int n = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, &u, 1, bytes, 4, nullptr, &used);
            ASSERT_GT(n, 0);
            if (used) continue;
            char16_t back[2];
            const int m = MultiByteToWideChar(cp, 0, bytes, n, back, 2);
            if (m != 1 || back[0] != u) {
                ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(c);
                ++failures;
            }
        }
    }
}

TEST(CodePage, MalformedInputBecomesReplacement) {
    const struct {
        UINT cp;
        std::string in;
        std::u16string out;
    } cases[] = {
        {65001, "\xC3", u"\uFFFD"},
        {65001, "\xC3(", u"\uFFFD("},
        {65001, "\xE2\x82", u"\uFFFD"},                 // one per maximal subpart
        {65001, "\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong
        {65001, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // encoded surrogate
        {65001, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {65001,
         "a\xFF"
         "b\xF0\x9F\x98\x80",
         u"a\uFFFDb\U0001F600"},
        {20127, "caf\xC3\xA9", u"caf\uFFFD\uFFFD"}, // high bytes are invalid in US-ASCII
        {932, "\x82", u"\uFFFD"},
        {932, "a\x82 b", u"a\uFFFD b"},
        {932, "\x1A\x1C\x7F", u"\x1A\x1C\x7F"}, // control codes map to themselves
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cp << " " << testing::PrintToString(c.in));
        EXPECT_EQ(toWide(c.cp, c.in), c.out);
    }
}

TEST(CodePage, DoubleBytePagesRoundTrip) {
    const struct {
        UINT cp;
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {932, u"日本", "\x93\xFA\x96\x7B"}, // a trail byte in the ASCII range
        {932, u"a日本b\x1A",
         "a\x93\xFA\x96\x7B"
         "b\x1A"},
        {936, u"中文", "\xD6\xD0\xCE\xC4"},
        {949, u"한국", "\xC7\xD1\xB1\xB9"},
        {950, u"中文", "\xA4\xA4\xA4\xE5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cp);
        EXPECT_EQ(toWide(c.cp, c.bytes), c.text);
        const Narrow r = toNarrow(c.cp, c.text);
        EXPECT_EQ(r.bytes, c.bytes);
        EXPECT_EQ(r.usedDefault, 0);
    }
}

// Guards the vector paths, which take text sixteen bytes or eight units at a time and finish with an
// overlapping or shifted last chunk: a character converts alike at every offset of a longer text,
// across chunk boundaries and at the very end, into an exact buffer as into a roomy one.
TEST(CodePage, PiecesConvertAlikeWhereverTheySitInLongerText) {
    enum Direction { Both, ToWideOnly, ToNarrowOnly };
    const struct {
        UINT cp;
        std::string bytes;
        std::u16string units;
        Direction direction;
    } cases[] = {
        {65001, "\xC3\xA9", u"\u00E9", Both},
        {65001, "\xE2\x82\xAC", u"\u20AC", Both},
        {65001, "\xE0\xA0\x80", u"\u0800", Both},
        {65001, "\xED\x9F\xBF", u"\uD7FF", Both},
        {65001, "\xF0\x9F\x98\x80", u"\U0001F600", Both},
        {65001, "\xE2\x82", u"\uFFFD", ToWideOnly},
        {65001, "\x80", u"\uFFFD", ToWideOnly},
        {65001, "\xC0\xAF", u"\uFFFD\uFFFD", ToWideOnly},
        {65001, "\xEF\xBF\xBD", u"\xD800", ToNarrowOnly},
        {1252, "\x80", u"\u20AC", Both},
        {1252, "\xE9", u"\u00E9", Both},
        {1252, "\x81", u"\u0081", Both},
        {1252, "?", u"\u0100", ToNarrowOnly},
        {1252, "?", u"\U0001F600", ToNarrowOnly},
        {20127, "\xE9", u"\uFFFD", ToWideOnly},
    };
    constexpr int kRoom = 64;
    for (const auto& c : cases) {
        for (std::size_t length = 8; length <= 48; ++length) {
            const std::size_t pieceBytes = c.bytes.size(), pieceUnits = c.units.size();
            for (std::size_t at = 0; at + std::max(pieceBytes, pieceUnits) <= length; ++at) {
                SCOPED_TRACE(testing::Message()
                             << c.cp << " " << testing::PrintToString(c.bytes) << " at " << at << " of " << length);
                if (c.direction != ToNarrowOnly) {
                    const std::string text =
                        std::string(at, 'x') + c.bytes + std::string(length - at - pieceBytes, 'y');
                    const std::u16string expected =
                        std::u16string(at, u'x') + c.units + std::u16string(length - at - pieceBytes, u'y');
                    EXPECT_EQ(toWide(c.cp, text), expected);
                    std::u16string roomy(expected.size() + kRoom, u'\0');
                    const int n = MultiByteToWideChar(c.cp, 0, text.data(), static_cast<int>(text.size()), roomy.data(),
                                                      static_cast<int>(roomy.size()));
                    EXPECT_EQ(roomy.substr(0, static_cast<std::size_t>(n)), expected);
                }
                if (c.direction != ToWideOnly) {
                    const std::u16string text =
                        std::u16string(at, u'x') + c.units + std::u16string(length - at - pieceUnits, u'y');
                    const std::string expected =
                        std::string(at, 'x') + c.bytes + std::string(length - at - pieceUnits, 'y');
                    EXPECT_EQ(toNarrow(c.cp, text).bytes, expected);
                    std::string roomy(expected.size() + kRoom, '\0');
                    const int n =
                        WideCharToMultiByte(c.cp, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                            roomy.data(), static_cast<int>(roomy.size()), nullptr, nullptr);
                    EXPECT_EQ(roomy.substr(0, static_cast<std::size_t>(n)), expected);
                }
            }
        }
    }
}

TEST(CodePage, EmbeddedNulsAreOrdinaryCharacters) {
    const struct {
        UINT cp;
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {65001, u"a\0\u00E9\0"s, "a\0\xC3\xA9\0"s},
        {1252, u"\0a\0\u00E9"s, "\0a\0\xE9"s},
        {932, u"日\0本"s, "\x93\xFA\0\x96\x7B"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cp);
        EXPECT_EQ(toWide(c.cp, c.bytes), c.text);
        EXPECT_EQ(toNarrow(c.cp, c.text).bytes, c.bytes);
    }
}

TEST(CodePage, SizeProtocol) {
    const struct {
        UINT cp;
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {65001, u"h\u00E9llo w\U0001F600rld, a longer line of plain text",
         "h\xC3\xA9llo w\xF0\x9F\x98\x80rld, a longer line of plain text"},
        {1252, u"h\u00E9llo", "h\xE9llo"},
        {932, u"x日本", "x\x93\xFA\x96\x7B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cp);
        const int units = static_cast<int>(c.text.size()) + 1; // -1 converts the NUL too
        const int bytes = static_cast<int>(c.bytes.size()) + 1;
        std::u16string w(static_cast<std::size_t>(units), u'x');
        EXPECT_EQ(MultiByteToWideChar(c.cp, 0, c.bytes.c_str(), -1, nullptr, 0), units);
        EXPECT_EQ(MultiByteToWideChar(c.cp, 0, c.bytes.c_str(), -1, w.data(), units - 1), 0);
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(MultiByteToWideChar(c.cp, 0, c.bytes.c_str(), -1, w.data(), units), units);
        EXPECT_EQ(w, c.text + u'\0');

        std::string b(static_cast<std::size_t>(bytes), 'x');
        EXPECT_EQ(WideCharToMultiByte(c.cp, 0, c.text.c_str(), -1, nullptr, 0, nullptr, nullptr), bytes);
        EXPECT_EQ(WideCharToMultiByte(c.cp, 0, c.text.c_str(), -1, b.data(), bytes - 1, nullptr, nullptr), 0);
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(WideCharToMultiByte(c.cp, 0, c.text.c_str(), -1, b.data(), bytes, nullptr, nullptr), bytes);
        EXPECT_EQ(b, c.bytes + '\0');
    }
}

TEST(CodePage, InvalidCallsFail) {
    static char16_t w[4];
    static char b[4];
    const struct {
        const char* what;
        int (*call)();
        DWORD error;
    } cases[] = {
        {"page 437", [] { return MultiByteToWideChar(437, 0, "a", 1, w, 4); }, ERROR_INVALID_PARAMETER},
        {"page 1200", [] { return WideCharToMultiByte(1200, 0, u"a", 1, b, 4, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"MB flag 8", [] { return MultiByteToWideChar(65001, 8, "a", 1, w, 4); }, ERROR_INVALID_FLAGS},
        {"WC flag 0x80", [] { return WideCharToMultiByte(1252, 0x80, u"a", 1, b, 4, nullptr, nullptr); },
         ERROR_INVALID_FLAGS},
        {"null input", [] { return MultiByteToWideChar(1252, 0, nullptr, 1, w, 4); }, ERROR_INVALID_PARAMETER},
        {"empty input", [] { return MultiByteToWideChar(1252, 0, "a", 0, w, 4); }, ERROR_INVALID_PARAMETER},
        {"length -2", [] { return WideCharToMultiByte(65001, 0, u"a", -2, b, 4, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"null output", [] { return MultiByteToWideChar(65001, 0, "a", 1, nullptr, 4); }, ERROR_INVALID_PARAMETER},
        {"negative capacity", [] { return WideCharToMultiByte(932, 0, u"a", 1, b, -1, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(), 0);
        EXPECT_EQ(GetLastError(), c.error);
    }
    // The last error is the calling thread's.
    onNewThread([] { EXPECT_EQ(GetLastError(), 0u); });
    EXPECT_EQ(MultiByteToWideChar(1252, MB_PRECOMPOSED, "a", 1, w, 4), 1);
}

TEST(CodePage, ThreadPageFollowsThreadLocaleUntilSet) {
    const struct {
        const char* locale;
        UINT page;
    } cases[] = {{"C", 20127}, {"C.UTF-8", 65001}};
    for (const auto& c : cases) {
        onNewThread([&c] {
            const locale_t loc = newlocale(LC_ALL_MASK, c.locale, nullptr);
            if (loc == nullptr) GTEST_SKIP() << c.locale << " is not installed";
            const locale_t old = uselocale(loc);
            EXPECT_EQ(GetThreadAnsiCodePage(), c.page) << c.locale;
            uselocale(old);
            freelocale(loc);
        });
    }
    // Unset, the page follows a locale change; once set it stays.
    onNewThread([] {
        const locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
        if (utf8 == nullptr) GTEST_SKIP() << "C.UTF-8 is not installed";
        const locale_t old = uselocale(utf8);
        EXPECT_EQ(GetThreadAnsiCodePage(), 65001u);
        EXPECT_EQ(SetThreadAnsiCodePage(1252), 65001u);
        uselocale(old);
        EXPECT_EQ(GetThreadAnsiCodePage(), 1252u);
        freelocale(utf8);
    });
}

TEST(CodePage, ThreadPagesAreIndependent) {
    onNewThread([] {
        const UINT initial = GetThreadAnsiCodePage();
        EXPECT_EQ(SetThreadAnsiCodePage(1252), initial);
        EXPECT_EQ(GetThreadAnsiCodePage(), 1252u);
        EXPECT_EQ(toWide(CP_ACP, "\x80"), u"\u20AC");
        onNewThread([initial] { EXPECT_EQ(GetThreadAnsiCodePage(), initial); });
        EXPECT_EQ(toWide(CP_THREAD_ACP, "\x80"), u"\u20AC");

        // An unsupported page is stored as given; conversions on it then fail.
        EXPECT_EQ(SetThreadAnsiCodePage(437), 1252u);
        EXPECT_EQ(GetThreadAnsiCodePage(), 437u);
        char16_t w[2];
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", 1, w, 2), 0);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    });
    EXPECT_NE(GetThreadAnsiCodePage(), 437u);
    EXPECT_FALSE(IsSupportedCodePage(437));
    EXPECT_TRUE(IsSupportedCodePage(932));
}
