#pragma once

#include "market/Catalogue.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::market {

/// Listings per result page, and the most pages a search shows.
inline constexpr int resultPageSize = 44;
inline constexpr int maxResultPages = 100;

/// The catalogue size a keyword has unless a test sets another: "nohits..." has none, a word "pagesN" gives
/// N full pages, any other keyword between 2 and 100 pages chosen by its hash.
int defaultListingCount(std::string_view keyword);

/// The page count form a keyword has unless a test sets another: "oldpager..." MaxOnly, "nopager..." None.
PagerForm defaultPagerForm(std::string_view keyword);

/// Resolves the shop behind a listing (nick and Tmall status), honouring the shops a test configured.
using ShopLookup = std::function<ShopSettings(const std::string& shopId)>;

/// All listings of a keyword in the default order; domain is D (name and port).
std::vector<Listing> buildListings(std::string_view keyword, int count, std::string_view domain,
                                   const ShopLookup& shopOf);

/// Positions of the listings that the options keep, in result order.
std::vector<std::size_t> selectListings(const std::vector<Listing>& listings, const SearchOptions& options);

/// The page count that the pager states for a number of listings.
int pagesFor(std::size_t listingCount);

} // namespace velmora::market
