#pragma once

#include "text/codePages.h"

#include <string_view>

namespace velmora::fuzz {

/// True when the text comes back byte for byte from code page 936 through UTF-16: every byte
/// pair is an assigned character and no lead byte stands alone. Only for such texts does a
/// result read back from a wide-string engine equal the bytes it came from.
inline bool isStableGbk(std::string_view text) {
    return wideToText(textToWide(text, kCodePageGbk), kCodePageGbk) == text;
}

} // namespace velmora::fuzz
