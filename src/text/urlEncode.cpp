#include "text/urlEncode.h"

namespace velmora {

namespace {

bool isUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

} // namespace

Text urlEncode(std::string_view text, std::string_view spaceChar) {
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    Text result;
    result.reserve(text.size() * 3);
    for (const char c : text) {
        if (isUnreserved(c)) {
            result.push_back(c);
        } else if (c == ' ') {
            result.append(spaceChar);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            result.push_back('%');
            result.push_back(hexDigits[byte >> 4]);
            result.push_back(hexDigits[byte & 0x0F]);
        }
    }
    return result;
}

} // namespace velmora
