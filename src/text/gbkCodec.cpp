#include "text/gbkCodec.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace velmora::detail {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kTrailCount = 0xFF - kFirstTrail; // 0x40 to 0xFE

struct IconvClose {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Iconv = std::unique_ptr<void, IconvClose>;

Iconv openIconv(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    return Iconv(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

/// Converts one complete character; the output bytes, or "" when iconv rejects it.
std::string convertOne(const Iconv& cd, std::string_view in) {
    if (!cd) {
        return {};
    }
    iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    char output[8];
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = output;
    std::size_t outLeft = sizeof output;
    if (iconv(static_cast<iconv_t>(cd.get()), &inPtr, &inLeft, &outPtr, &outLeft) ==
            static_cast<std::size_t>(-1) ||
        inLeft != 0) {
        return {};
    }
    return std::string(output, outPtr);
}

/// The code page 936 mappings of glibc, read once into tables: iconv's per-call overhead is far
/// above the cost of a table lookup, and page texts run to megabytes.
struct GbkTables {
    /// Characters of the single bytes 0x80 to 0xFF; 0 where the byte is no character alone.
    std::array<char16_t, 0x80> single{};
    /// Characters of the pairs lead 0x81-0xFE, trail 0x40-0xFE; 0 where the pair is unassigned.
    std::vector<char16_t> pairs = std::vector<char16_t>((0xFF - kFirstLead) * kTrailCount);
    /// Code page 936 bytes of each BMP character: 0 none, below 0x100 one byte, else lead << 8 | trail.
    std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(0x10000);

    GbkTables() {
        const Iconv decoder = openIconv("UTF-16LE", "CP936");
        const auto unit = [](const std::string& utf16) -> char16_t {
            return utf16.size() == 2 ? static_cast<char16_t>(static_cast<unsigned char>(utf16[0]) |
                                                             static_cast<unsigned char>(utf16[1]) << 8)
                                     : 0;
        };
        for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
            single[byte - 0x80] = unit(convertOne(decoder, std::string(1, static_cast<char>(byte))));
        }
        for (unsigned lead = kFirstLead; lead <= 0xFE; ++lead) {
            for (unsigned trail = kFirstTrail; trail <= 0xFE; ++trail) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pairs[(lead - kFirstLead) * kTrailCount + trail - kFirstTrail] =
                    unit(convertOne(decoder, std::string_view(pair, 2)));
            }
        }
        // The encoder decides where several byte pairs read as one character; every character
        // that some bytes read as is asked once.
        const Iconv encoder = openIconv("CP936", "UTF-16LE");
        const auto learn = [&](char16_t c) {
            if (c < 0x80 || encode[c] != 0) {
                return;
            }
            const char utf16[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            const std::string bytes = convertOne(encoder, std::string_view(utf16, 2));
            if (bytes.size() == 1) {
                encode[c] = static_cast<unsigned char>(bytes[0]);
            } else if (bytes.size() == 2) {
                encode[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                                       static_cast<unsigned char>(bytes[1]));
            }
        };
        for (const char16_t c : single) {
            learn(c);
        }
        for (const char16_t c : pairs) {
            learn(c);
        }
    }
};

const GbkTables& tables() {
    static const GbkTables instance;
    return instance;
}

/// Reads one character of code page 936 at `p` (a byte of 0x80 or above); returns the bytes used.
std::size_t decodeGbk(const GbkTables& t, const unsigned char* p, const unsigned char* end, char32_t& c) {
    const unsigned lead = p[0];
    if (const char16_t alone = t.single[lead - 0x80]; alone != 0) {
        c = alone;
        return 1;
    }
    if (lead >= kFirstLead && lead <= 0xFE && end - p >= 2 && p[1] >= kFirstTrail && p[1] <= 0xFE &&
        p[1] != 0x7F) {
        const char16_t pair = t.pairs[(lead - kFirstLead) * kTrailCount + p[1] - kFirstTrail];
        c = pair != 0 ? pair : kReplacement;
        return 2;
    }
    c = kReplacement;
    return 1;
}

/// Reads one character of UTF-8 at `p` (a byte of 0x80 or above); returns the bytes used. An
/// ill-formed sequence gives U+FFFD and uses the bytes up to the first one that cannot continue it.
std::size_t decodeUtf8(const unsigned char* p, const unsigned char* end, char32_t& c) {
    const unsigned first = p[0];
    unsigned low = 0x80;
    unsigned high = 0xBF;
    int continuations = 0;
    char32_t value = 0;
    if (first >= 0xC2 && first <= 0xDF) {
        continuations = 1;
        value = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        continuations = 2;
        value = first & 0x0F;
        low = first == 0xE0 ? 0xA0 : 0x80;
        high = first == 0xED ? 0x9F : 0xBF;
    } else if (first >= 0xF0 && first <= 0xF4) {
        continuations = 3;
        value = first & 0x07;
        low = first == 0xF0 ? 0x90 : 0x80;
        high = first == 0xF4 ? 0x8F : 0xBF;
    } else {
        c = kReplacement;
        return 1;
    }
    std::size_t used = 1;
    for (int k = 0; k < continuations; ++k) {
        if (p + used == end || p[used] < low || p[used] > high) {
            c = kReplacement;
            return used;
        }
        value = value << 6 | (p[used] & 0x3F);
        ++used;
        low = 0x80;
        high = 0xBF;
    }
    c = value;
    return used;
}

/// Length of the run of ASCII bytes at the start of [p, end), checked eight bytes at a time.
std::size_t asciiRun(const unsigned char* p, const unsigned char* end) {
    const unsigned char* q = p;
    while (end - q >= 8) {
        std::uint64_t word;
        std::memcpy(&word, q, 8);
        if ((word & 0x8080808080808080ULL) != 0) {
            break;
        }
        q += 8;
    }
    while (q < end && *q < 0x80) {
        ++q;
    }
    return static_cast<std::size_t>(q - p);
}

char* writeUtf8(char* out, char32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | c >> 6);
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | c >> 12);
        *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | c >> 18);
        *out++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
        *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

/// Writes one character as code page 936, "?" when the code page cannot hold it.
char* writeGbk(const GbkTables& t, char* out, char32_t c) {
    const std::uint16_t bytes = c < 0x10000 ? t.encode[c] : 0;
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (bytes == 0) {
        *out++ = '?';
    } else if (bytes < 0x100) {
        *out++ = static_cast<char>(bytes);
    } else {
        *out++ = static_cast<char>(bytes >> 8);
        *out++ = static_cast<char>(bytes & 0xFF);
    }
    return out;
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
}

/// Reads one character of UTF-16 at `p`; returns the units used.
std::size_t decodeUtf16(const char16_t* p, const char16_t* end, char32_t& c) {
    const char16_t first = p[0];
    if (first < 0xD800 || first > 0xDFFF) {
        c = first;
        return 1;
    }
    if (first <= 0xDBFF && end - p >= 2 && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
        c = 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) + (p[1] - 0xDC00);
        return 2;
    }
    c = kReplacement;
    return 1;
}

const unsigned char* bytesOf(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

} // namespace

void appendGbkAsUtf8(std::string_view gbk, std::string& out) {
    const GbkTables& t = tables();
    const std::size_t base = out.size();
    // No character grows beyond three bytes: a pair gives at most three, a single byte at most
    // three (U+20AC, U+FFFD).
    out.resize(base + gbk.size() * 3);
    char* o = out.data() + base;
    const unsigned char* p = bytesOf(gbk);
    const unsigned char* const end = p + gbk.size();
    while (p < end) {
        const std::size_t ascii = asciiRun(p, end);
        std::memcpy(o, p, ascii);
        o += ascii;
        p += ascii;
        if (p == end) {
            break;
        }
        char32_t c;
        p += decodeGbk(t, p, end, c);
        o = writeUtf8(o, c);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

void appendUtf8AsGbk(std::string_view utf8, std::string& out) {
    const GbkTables& t = tables();
    const std::size_t base = out.size();
    // Every character shrinks or keeps its length.
    out.resize(base + utf8.size());
    char* o = out.data() + base;
    const unsigned char* p = bytesOf(utf8);
    const unsigned char* const end = p + utf8.size();
    while (p < end) {
        const std::size_t ascii = asciiRun(p, end);
        std::memcpy(o, p, ascii);
        o += ascii;
        p += ascii;
        if (p == end) {
            break;
        }
        char32_t c;
        p += decodeUtf8(p, end, c);
        o = writeGbk(t, o, c);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

void appendUtf16AsGbk(std::u16string_view utf16, std::string& out) {
    const GbkTables& t = tables();
    const std::size_t base = out.size();
    out.resize(base + utf16.size() * 2);
    char* o = out.data() + base;
    const char16_t* p = utf16.data();
    const char16_t* const end = p + utf16.size();
    while (p < end) {
        char32_t c;
        p += decodeUtf16(p, end, c);
        o = writeGbk(t, o, c);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

std::u16string gbkToUtf16(std::string_view gbk) {
    const GbkTables& t = tables();
    std::u16string out;
    out.reserve(gbk.size());
    const unsigned char* p = bytesOf(gbk);
    const unsigned char* const end = p + gbk.size();
    while (p < end) {
        if (*p < 0x80) {
            out.push_back(*p++);
            continue;
        }
        char32_t c;
        p += decodeGbk(t, p, end, c);
        appendUtf16(out, c);
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const unsigned char* p = bytesOf(utf8);
    const unsigned char* const end = p + utf8.size();
    while (p < end) {
        if (*p < 0x80) {
            out.push_back(*p++);
            continue;
        }
        char32_t c;
        p += decodeUtf8(p, end, c);
        appendUtf16(out, c);
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out(utf16.size() * 3, '\0');
    char* o = out.data();
    const char16_t* p = utf16.data();
    const char16_t* const end = p + utf16.size();
    while (p < end) {
        char32_t c;
        p += decodeUtf16(p, end, c);
        o = writeUtf8(o, c);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::size_t gbkOffsetOfUtf8Offset(std::string_view gbk, std::size_t utf8Offset) {
    const GbkTables& t = tables();
    const unsigned char* const begin = bytesOf(gbk);
    const unsigned char* const end = begin + gbk.size();
    const unsigned char* p = begin;
    std::size_t utf8 = 0;
    while (p < end && utf8 < utf8Offset) {
        if (*p < 0x80) {
            ++p;
            ++utf8;
            continue;
        }
        char32_t c;
        p += decodeGbk(t, p, end, c);
        char encoded[4];
        utf8 += static_cast<std::size_t>(writeUtf8(encoded, c) - encoded);
    }
    return static_cast<std::size_t>(p - begin);
}

} // namespace velmora::detail
