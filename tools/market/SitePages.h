#pragma once

#include <string>

namespace velmora::market {

// Pages of the marketplace that carry no catalogue data. All are UTF-8.

/// The home page www.D: a search box and a few links.
std::string homePage(const std::string& domain);

/// The sign-in form; it posts to /member/login.jhtml and carries redirectURL along. error is shown when not
/// "".
std::string signInPage(const std::string& domain, const std::string& redirectUrl, const std::string& error);

/// A sign-in wall served instead of the content a request asked for.
std::string signInWallPage(const std::string& domain, const std::string& address);

/// A slider check ("slide to verify") served instead of the content a request asked for.
std::string sliderCheckPage(const std::string& domain, const std::string& address);

/// The front server's page for a failure of the application behind it.
std::string serverErrorPage();

/// The page for an address the marketplace does not know.
std::string notFoundPage(const std::string& domain);

/// A 1x1 transparent GIF, the answer for every image address.
std::string pixelGif();

} // namespace velmora::market
