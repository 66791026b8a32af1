#pragma once

#include "text/Text.h"

#include <string>
#include <string_view>

namespace velmora {

inline constexpr int kCodePageAnsi = 0; ///< the process's ANSI code page, which is 936 here
inline constexpr int kCodePageGbk = 936;
inline constexpr int kCodePageUtf8 = 65001;

// Invalid input never stops a conversion: an ill-formed UTF-8 sequence (each maximal subpart), a
// code page 936 lead byte without a valid second byte or at the very end, an unassigned byte
// pair and an unpaired surrogate each read as U+FFFD, which code page 936 writes as "?".

/// The text read in `codePage` (0/936 or 65001), as UTF-16; other code pages give "".
std::u16string textToWide(std::string_view text, int codePage = kCodePageUtf8);

/// UTF-16 written in `codePage` (0/936 or 65001; others give ""); characters it cannot hold become "?".
Text wideToText(std::u16string_view wide, int codePage = kCodePageAnsi);

/// UTF-8 page text converted to code page 936; each ill-formed UTF-8 sequence becomes one "?".
Text utf8ToAnsi(std::string_view text);

} // namespace velmora
