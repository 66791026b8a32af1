#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// Reads a response header block line by line: every line holding "Location:" sets `location` to
/// its value (the last one wins), every line holding "Set-Cookie" adds its cookie part to
/// `receivedCookies`, which starts from "" and ends without its final "; ".
void scanResponseHeaders(std::string_view responseHeaders, Text& location, Text& receivedCookies);

} // namespace velmora
