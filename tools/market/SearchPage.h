#pragma once

#include "market/Catalogue.h"

#include <string>
#include <vector>

namespace velmora::market {

/// What one keyword search result page shows.
struct SearchPageContent {
    std::string keyword; ///< UTF-8
    std::string domain;  ///< D, name and port
    std::string target;  ///< the request's path and query, for the page's own address
    PagerForm pagerForm = PagerForm::TotalPage;
    int totalCount = 0;
    int totalPage = 0;
    int currentPage = 1;
    int offset = 0;
    std::vector<const Listing*> listings;
    std::string invalidBytes; ///< put into the first title when not empty
};

/// The result page as the marketplace sends it: HTML whose script assigns g_page_config on one line.
std::string searchPage(const SearchPageContent& content);

} // namespace velmora::market
