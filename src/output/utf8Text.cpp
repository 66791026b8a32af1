#include "output/utf8Text.h"

#include "text/codePages.h"

namespace velmora {

std::string utf8FromText(std::string_view text) {
    return wideToText(textToWide(text, kCodePageGbk), kCodePageUtf8);
}

} // namespace velmora
