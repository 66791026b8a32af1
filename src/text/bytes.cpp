#include "text/bytes.h"

namespace velmora {

Bytes textToBytes(std::string_view text) {
    return Bytes(text);
}

Text bytesToText(std::string_view bytes) {
    return Text(bytes.substr(0, bytes.find('\0')));
}

Text charFromCode(int code) {
    if (code < 1 || code > 0xFF) {
        return Text();
    }
    return Text(1, static_cast<char>(code));
}

Text blankText(int n) {
    return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' ');
}

} // namespace velmora
