#pragma once

#include "http/CookieStore.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora {

/// The cookies of a Netscape cookies.txt (as browsers' export tools and curl write it): one cookie a
/// line, seven tab-separated fields (domain, subdomain flag, path, secure flag, expiry in seconds since
/// the epoch or 0, name, value; a line of six fields has an empty value); "#HttpOnly_" before the
/// domain marks an HttpOnly cookie; other lines starting with "#" and blank lines are skipped. A line
/// of another shape gives the error "line N: ..." instead, so a file in the wrong format is noticed
/// before the run rather than as a missing sign-in.
std::variant<std::vector<Cookie>, std::string> parseCookiesFile(std::string_view content);

/// Reads a cookies.txt into the shared cookie store; the error text when the file cannot be read or
/// parsed. Cookies the store refuses (an expired one, say) are left out.
std::optional<std::string> loadCookiesFile(const std::filesystem::path& path);

} // namespace velmora
