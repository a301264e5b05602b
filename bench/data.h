// Test data the benchmarks share: reproducible text in three encodings, and a small random source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bench {

// A fixed-seed generator, so every run converts the same text.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    // Uniform in [lo, hi].
    std::size_t between(std::size_t lo, std::size_t hi) { return lo + next() % (hi - lo + 1); }
    bool chance(unsigned percent) { return next() % 100 < percent; }

private:
    std::uint64_t state_;
};

enum class Encoding { Ascii, Windows1252, Utf8 };

inline std::string_view encodingName(Encoding e) {
    switch (e) {
    case Encoding::Ascii:
        return "ascii";
    case Encoding::Windows1252:
        return "cp1252";
    case Encoding::Utf8:
        return "utf8";
    }
    return "?";
}

// The thread code page the bridge converts with: ASCII text as a Windows-1252 host sends it.
inline unsigned codePageOf(Encoding e) {
    return e == Encoding::Utf8 ? 65001u : 1252u;
}

// The same text as narrow bytes in its page and as UTF-16.
struct Text {
    std::string narrow;
    std::u16string wide;
};

// Words of lower-case letters; for Windows-1252 about one letter in ten is accented, for UTF-8 about
// one character in ten takes two or three bytes. Exactly `bytes` narrow bytes.
inline Text makeText(Encoding encoding, std::size_t bytes, std::uint64_t seed = 1) {
    static constexpr char16_t kAccented[] = {0xE9, 0xE8, 0xFC, 0xF6, 0xE4, 0xE5, 0xF8, 0xF1, 0xC9, 0xC5, 0xD8, 0xE6};
    static constexpr char16_t kThreeByte[] = {0x20AC, 0x2013, 0x2018, 0x2019, 0x201C};
    Random random(seed);
    Text t;
    t.narrow.reserve(bytes);
    t.wide.reserve(bytes);
    std::size_t word = 0;
    while (t.narrow.size() < bytes) {
        const std::size_t room = bytes - t.narrow.size();
        if (word == 0) {
            word = random.between(2, 9);
            if (!t.narrow.empty()) {
                t.narrow += ' ';
                t.wide += u' ';
                continue;
            }
        }
        --word;
        if (encoding != Encoding::Ascii && random.chance(10)) {
            const bool three = encoding == Encoding::Utf8 && random.chance(20);
            const char16_t c = three ? kThreeByte[random.next() % 5] : kAccented[random.next() % 12];
            if (encoding == Encoding::Windows1252) {
                // The accented letters sit at the same place in Windows-1252 and Unicode.
                t.narrow += static_cast<char>(c);
                t.wide += c;
                continue;
            }
            const std::size_t need = c >= 0x800 ? 3 : 2;
            if (need <= room) {
                if (need == 2) {
                    t.narrow += static_cast<char>(0xC0 | (c >> 6));
                } else {
                    t.narrow += static_cast<char>(0xE0 | (c >> 12));
                    t.narrow += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                }
                t.narrow += static_cast<char>(0x80 | (c & 0x3F));
                t.wide += c;
                continue;
            }
        }
        const char letter = static_cast<char>('a' + random.next() % 26);
        t.narrow += letter;
        t.wide += static_cast<char16_t>(letter);
    }
    return t;
}

// Printable ASCII of a random length in [lo, hi], as record fields carry it.
inline std::u16string randomWord(Random& random, std::size_t lo, std::size_t hi) {
    std::u16string s(random.between(lo, hi), u' ');
    for (auto& c : s) c = static_cast<char16_t>('a' + random.next() % 26);
    return s;
}

} // namespace bench
