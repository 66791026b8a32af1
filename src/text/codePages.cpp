#include "text/codePages.h"

#include "text/gbkCodec.h"

namespace velmora {

std::u16string textToWide(std::string_view text, int codePage) {
    switch (codePage) {
    case kCodePageAnsi:
    case kCodePageGbk:
        return detail::gbkToUtf16(text);
    case kCodePageUtf8:
        return detail::utf8ToUtf16(text);
    default:
        return {};
    }
}

Text wideToText(std::u16string_view wide, int codePage) {
    switch (codePage) {
    case kCodePageAnsi:
    case kCodePageGbk: {
        Text text;
        detail::appendUtf16AsGbk(wide, text);
        return text;
    }
    case kCodePageUtf8:
        return detail::utf16ToUtf8(wide);
    default:
        return {};
    }
}

Text utf8ToAnsi(std::string_view text) {
    Text converted;
    detail::appendUtf8AsGbk(text, converted);
    return converted;
}

} // namespace velmora
