#pragma once

#include "text/Text.h"

#include <cstddef>

namespace velmora::bench {

/// A keyword search result page as the collector holds it (code page 936): one line of search
/// data with listing blocks shaped like the marketplace's, Chinese titles, at least `size` bytes.
Text listingPage(std::size_t size);

/// Mostly Chinese UTF-8 text of at least `size` bytes, as a page arrives before conversion.
std::string chineseUtf8Page(std::size_t size);

} // namespace velmora::bench
