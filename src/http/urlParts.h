#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The host, lower-cased; with `keepPort`, including ":" and the port.
Text hostOf(std::string_view url, bool keepPort = false);

/// The explicit port, else 443 for a secure address, else 80.
int portOf(std::string_view url);

/// The path from its first "/" to the end, query included; "/" when there is none.
Text pathOf(std::string_view url);

/// True when the first five characters, lower-cased, are "https".
bool isSecureAddress(std::string_view url);

} // namespace velmora
