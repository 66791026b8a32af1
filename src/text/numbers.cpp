#include "text/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace velmora {

namespace {

/// Full-width forms read as their ASCII counterparts: A3 xx is the full-width copy of the
/// ASCII byte xx - 0x80, A1 A1 the full-width space, A1 AB a tilde, A1 EE and A1 EF asterisks.
/// Every other character is kept as it is.
Text foldFullWidth(std::string_view text) {
    Text folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || i + 1 == text.size()) {
            folded.push_back(text[i]);
            ++i;
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            folded.push_back(static_cast<char>(trail - 0x80));
        } else if (lead == 0xA1 && trail == 0xA1) {
            folded.push_back(' ');
        } else if (lead == 0xA1 && trail == 0xAB) {
            folded.push_back('~');
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            folded.push_back('*');
        } else {
            folded.append(text.substr(i, 2));
        }
        i += 2;
    }
    return folded;
}

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// Offset of the first byte after the leading white space.
std::size_t skipWhiteSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) {
        ++i;
    }
    return i;
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i;
}

} // namespace

Text intToText(std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return Text(buffer, end);
}

Text numberToText(double value) {
    // to_chars with general format and precision 13 is "%.13g" without the locale's decimal
    // separator creeping in.
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13).ptr;
    return Text(buffer, end);
}

std::int32_t textToInt(std::string_view text) {
    const Text folded = foldFullWidth(text);
    std::size_t i = skipWhiteSpace(folded);
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    // Values beyond the 32-bit range saturate at its ends.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < folded.size() && isDigit(folded[i]); ++i) {
        magnitude = std::min(magnitude * 10 + (folded[i] - '0'), limit);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

double textToNumber(std::string_view text) {
    const Text folded = foldFullWidth(text);
    const std::size_t begin = skipWhiteSpace(folded);
    std::size_t i = begin;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    const std::size_t mantissa = i;
    i = skipDigits(folded, i);
    bool anyDigit = i > mantissa;
    if (i < folded.size() && folded[i] == '.') {
        const std::size_t fraction = i + 1;
        const std::size_t fractionEnd = skipDigits(folded, fraction);
        anyDigit = anyDigit || fractionEnd > fraction;
        i = fractionEnd;
    }
    if (!anyDigit) {
        return 0;
    }
    if (i < folded.size() && (folded[i] == 'e' || folded[i] == 'E')) {
        std::size_t exponent = i + 1;
        if (exponent < folded.size() && (folded[exponent] == '+' || folded[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentEnd = skipDigits(folded, exponent);
        if (exponentEnd > exponent) {
            i = exponentEnd;
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(folded.data() + mantissa, folded.data() + i, value);
    if (error == std::errc::result_out_of_range) {
        // Too large gives infinity, too small gives zero.
        const std::size_t e = folded.find_first_of("eE", mantissa);
        const bool tiny = e < i && folded.find('-', e) < i;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

} // namespace velmora
