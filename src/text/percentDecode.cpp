#include "text/percentDecode.h"

#include "text/codePages.h"

namespace velmora {

namespace {

/// The value of a hexadecimal digit in either case, or -1.
int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

Text percentDecode(std::string_view text, bool fromUtf8) {
    Text decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low >= 0) {
            const int byte = high * 16 + low;
            // A text cannot hold a zero byte, so %00 decodes to nothing.
            if (byte != 0) {
                decoded.push_back(static_cast<char>(byte));
            }
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return fromUtf8 ? utf8ToAnsi(decoded) : decoded;
}

} // namespace velmora
