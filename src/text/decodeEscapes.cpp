#include "text/decodeEscapes.h"

#include "text/gbkCodec.h"

#include <optional>
#include <string>

namespace velmora {

namespace {

// The full-width apostrophe stands in for "'" while the text is read as the body of a
// single-quoted literal, so no apostrophe of the text can end it.
constexpr std::u16string_view kApostropheStandIn = u"\u2019";
// A line break cannot stand in a literal, so CR LF pairs travel as this marker.
constexpr std::u16string_view kLineBreakStandIn = u"{$}";

/// Every occurrence of `sought` replaced, left to right; the replacement is not searched again.
std::u16string replaceAll(std::u16string_view text, std::u16string_view sought, std::u16string_view replacement) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(sought, from);
        if (at == std::u16string_view::npos) {
            result.append(text.substr(from));
            return result;
        }
        result.append(text.substr(from, at - from)).append(replacement);
        from = at + sought.size();
    }
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    return -1;
}

/// The value of `count` hexadecimal digits at `at`, or -1 when fewer are there.
int hexNumber(std::u16string_view text, std::size_t at, std::size_t count) {
    if (text.size() - at < count) {
        return -1;
    }
    int value = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const int digit = hexValue(text[at + k]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

bool isOctalDigit(char16_t c) {
    return c >= u'0' && c <= u'7';
}

/// Reads `body` as what stands between the quotes of a single-quoted string literal of the
/// browser script language of old (JScript). Nothing when such a literal would not compile: a
/// line feed or carriage return in it, or a final backslash that would escape the closing
/// quote. The escapes follow that language, lenient forms included:
/// - \n \t \r \b \f as usual; \v is a plain "v" (that engine knows no vertical tab escape);
/// - \xHH and \uHHHH give the unit of that code; without two (four) hexadecimal digits the
///   backslash is dropped and "x" ("u") read as itself;
/// - octal escapes of up to three digits up to \377 (a first digit 4-7 takes at most two);
/// - a backslash before a line feed or carriage return continues the line and gives nothing;
/// - a backslash before any other character gives that character (\' \" \\ \/ \8 included).
std::optional<std::u16string> readLiteral(std::u16string_view body) {
    std::u16string value;
    value.reserve(body.size());
    for (std::size_t i = 0; i < body.size();) {
        const char16_t c = body[i++];
        if (c == u'\n' || c == u'\r') {
            return std::nullopt;
        }
        if (c != u'\\') {
            value.push_back(c);
            continue;
        }
        if (i == body.size()) {
            return std::nullopt;
        }
        const char16_t escaped = body[i++];
        switch (escaped) {
        case u'n':
            value.push_back(u'\n');
            break;
        case u't':
            value.push_back(u'\t');
            break;
        case u'r':
            value.push_back(u'\r');
            break;
        case u'b':
            value.push_back(u'\b');
            break;
        case u'f':
            value.push_back(u'\f');
            break;
        case u'\n':
        case u'\r':
            break;
        case u'x':
        case u'u': {
            const std::size_t digits = escaped == u'x' ? 2 : 4;
            const int code = hexNumber(body, i, digits);
            if (code < 0) {
                value.push_back(escaped);
            } else {
                value.push_back(static_cast<char16_t>(code));
                i += digits;
            }
            break;
        }
        default:
            if (isOctalDigit(escaped)) {
                int code = escaped - u'0';
                const std::size_t maxMore = escaped <= u'3' ? 2 : 1;
                for (std::size_t more = 0; more < maxMore && i < body.size() && isOctalDigit(body[i]);
                     ++more) {
                    code = code * 8 + (body[i++] - u'0');
                }
                value.push_back(static_cast<char16_t>(code));
            } else {
                value.push_back(escaped);
            }
        }
    }
    return value;
}

/// ECMAScript unescape: %uHHHH gives that unit, %HH the character of that code; any other "%"
/// stays as it is.
std::u16string unescape(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == u'%') {
            if (i + 1 < text.size() && text[i + 1] == u'u') {
                if (const int code = hexNumber(text, i + 2, 4); code >= 0) {
                    result.push_back(static_cast<char16_t>(code));
                    i += 6;
                    continue;
                }
            }
            if (const int code = hexNumber(text, i + 1, 2); code >= 0) {
                result.push_back(static_cast<char16_t>(code));
                i += 3;
                continue;
            }
        }
        result.push_back(text[i++]);
    }
    return result;
}

} // namespace

Text decodeEscapes(std::string_view text) {
    // The stand-ins are put in and taken out on the characters, not the bytes, so a single-byte
    // character such as 0x80 (the euro sign) cannot hide a line break or an apostrophe after it.
    std::u16string body = replaceAll(detail::gbkToUtf16(text), u"\r\n", kLineBreakStandIn);
    if (!body.empty() && body.front() == u'\r') {
        body.erase(0, 1);
    }
    // A "\u" escape is left to unescape as "%u", so a "\u" without four hexadecimal digits
    // stays in the result as "%u".
    body = replaceAll(replaceAll(body, u"\\u", u"%u"), u"'", kApostropheStandIn);

    const std::optional<std::u16string> value = readLiteral(body);
    if (!value) {
        return Text();
    }
    std::u16string decoded = unescape(*value);
    // A text cannot hold a zero byte: \0, \x00 and %00 decode to nothing.
    std::erase(decoded, u'\0');
    decoded = replaceAll(replaceAll(decoded, kApostropheStandIn, u"'"), kLineBreakStandIn, u"\r\n");
    Text result;
    detail::appendUtf16AsGbk(decoded, result);
    return result;
}

} // namespace velmora
