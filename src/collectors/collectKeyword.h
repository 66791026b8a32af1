#pragma once

#include "collectors/RunContext.h"
#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The keyword as the search address carries it: a space as "+", every byte but ASCII letters,
/// digits, "-", "." and "_" as "%" and two upper-case hexadecimal digits.
Text urlEncodeKeyword(std::string_view keyword);

/// Walks the search result pages of the run's keyword into the table, up to the smaller of the
/// page count and the page limit, with one sales lookup per accepted listing.
RunOutcome collectKeyword(const RunContext& run);

} // namespace velmora
