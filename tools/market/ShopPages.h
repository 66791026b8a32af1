#pragma once

#include "market/Catalogue.h"

#include <string>
#include <vector>

namespace velmora::market {

// The pages of a shop, written in UTF-8; the router sends them in code page 936 as the marketplace does.

/// The last item page of a shop (1 for an empty shop).
int shopLastPage(const ShopSettings& shop);

/// Whether a page number of the shop answers in the Tmall layout.
bool shopPageIsTmall(const ShopSettings& shop, int page);

/// The items of a page (past the last page: those of the last page), in page order; domain is D.
std::vector<ShopItem> shopPageItems(const std::string& shopId, const ShopSettings& shop, int page,
                                    const std::string& domain);

/// The shop's home page: shopId=<id> in its markup and the seller's handle in data-nick.
std::string shopHomePage(const std::string& shopId, const ShopSettings& shop, const std::string& domain,
                         const std::string& invalidBytes);

/// An item's page, which names its shop the same way as the shop's home page.
std::string itemPage(const std::string& itemId, const std::string& shopId, const ShopSettings& shop,
                     const std::string& domain, const std::string& invalidBytes);

/// The asynchronous search address the search page hands out, with "&amp;" as in the page.
std::string asyncSearchValue(const std::string& shopId);

/// The shop's search page: with the hidden J_ShopAsynSearchURL input when signed in, a sign-in notice
/// otherwise.
std::string shopSearchPage(const std::string& shopId, const ShopSettings& shop, const std::string& domain,
                           bool signedIn, const std::string& invalidBytes);

/// One item page of the asynchronous search: markup with backslash-escaped quotes wrapped in a jsonp
/// callback.
std::string shopItemAnswer(const std::string& shopId, const ShopSettings& shop, int page,
                           const std::string& callback, const std::string& domain,
                           const std::string& invalidBytes);

} // namespace velmora::market
