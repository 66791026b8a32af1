#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

// Scanning operations are character-aware: a candidate is tried only at the start of a
// character, and a byte of 0x80 or above takes the byte after it into the same character.

/// 1-based position of the first occurrence of `sought` at or after `start` (0 or less searches
/// the whole text), or -1. "" gives 1 whenever the search start lies inside the text, else -1.
int findText(std::string_view text, std::string_view sought, int start = 1, bool ignoreCase = false);

/// 1-based position of the last occurrence of `sought` (exact bytes), or -1; "" gives -1.
int findTextReverse(std::string_view text, std::string_view sought);

/// The text with every occurrence of `sought` replaced, left to right, exact bytes.
Text replaceText(std::string_view text, std::string_view sought, std::string_view replacement);

/// The pieces between occurrences of `delimiter`; no empty last piece after a final delimiter.
TextList splitText(std::string_view text, std::string_view delimiter = ",");

} // namespace velmora
