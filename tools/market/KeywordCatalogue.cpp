#include "market/KeywordCatalogue.h"

#include "market/Escaping.h"
#include "market/ItemFacts.h"
#include "market/Random.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

namespace velmora::market {

namespace {

const char* const heads[] = {"2024新款", "正品", "官方旗舰店同款", "爆款", "包邮", "夏季", "加厚",
                             "韩版",     "日系", "高端",           "特价", "网红", "ins风"};
const char* const tails[] = {"女士百搭", "男款休闲", "学生款",   "大码宽松", "家用",   "便携式",
                             "送礼盒装", "特价清仓", "官方正品", "简约",     "耐用款", "升级版"};
const char* const extras[] = {"", "", "", " 现货速发", " 限时折扣", " 买一送一", " 顺丰包邮"};

// The number N of a word "pagesN" at the start of the keyword or after a space, or -1.
int pagesWord(std::string_view keyword) {
    for (std::size_t at = keyword.find("pages"); at != std::string_view::npos;
         at = keyword.find("pages", at + 1)) {
        if (at != 0 && keyword[at - 1] != ' ')
            continue;
        std::size_t end = at + 5;
        int pages = 0;
        while (end < keyword.size() && keyword[end] >= '0' && keyword[end] <= '9' && pages < 10000)
            pages = pages * 10 + (keyword[end++] - '0');
        if (end > at + 5)
            return pages;
    }
    return -1;
}

std::string makeNid(Rng& rng) {
    char text[16];
    std::snprintf(text, sizeof text, "6%011llu", static_cast<unsigned long long>(rng.below(100000000000ull)));
    return text;
}

} // namespace

int defaultListingCount(std::string_view keyword) {
    if (keyword.empty() || keyword.starts_with("nohits"))
        return 0;
    if (const int pages = pagesWord(keyword); pages >= 0)
        return std::min(pages, maxResultPages) * resultPageSize;
    const std::uint64_t h = mixBits(hashText(keyword));
    const int pages = static_cast<int>(2 + h % 99);
    return pages * resultPageSize - static_cast<int>((h >> 20) % resultPageSize);
}

PagerForm defaultPagerForm(std::string_view keyword) {
    if (keyword.starts_with("oldpager"))
        return PagerForm::MaxOnly;
    if (keyword.starts_with("nopager"))
        return PagerForm::None;
    return PagerForm::TotalPage;
}

std::vector<Listing> buildListings(std::string_view keyword, int count, std::string_view domain,
                                   const ShopLookup& shopOf) {
    std::vector<Listing> listings;
    listings.reserve(static_cast<std::size_t>(std::max(count, 0)));
    Rng rng(hashText(keyword));
    std::unordered_set<std::string> taken;
    const std::string host(domain);
    for (int i = 0; i < count; ++i) {
        Listing listing;
        do {
            listing.nid = makeNid(rng);
        } while (!taken.insert(listing.nid).second);
        listing.rawTitle =
            std::string(rng.pick(heads)) + std::string(keyword) + rng.pick(tails) + rng.pick(extras);
        listing.rawTitleField = jsonEscape(listing.rawTitle);
        listing.shopId = shopOfItem(listing.nid);
        const ShopSettings shop = shopOf(listing.shopId);
        listing.tmall = shop.layout != ShopLayout::Plain;
        listing.nick = shop.nick;
        listing.userId = sellerUserId(listing.shopId);
        listing.detailUrl = (listing.tmall ? "//detail.tmall." : "//item.") + host +
                            "/item.htm?id=" + listing.nid + "&ns=1&abbucket=" + std::to_string(rng.below(20));
        listing.detailUrlField = jsonEscape(listing.detailUrl);
        listing.viewPrice = itemPrice(listing.nid);
        listing.sales = itemSales(listing.nid).sales;
        listing.viewSales = viewSalesText(listing.sales);
        listing.location = shopLocation(listing.shopId);
        listings.push_back(std::move(listing));
    }
    return listings;
}

std::vector<std::size_t> selectListings(const std::vector<Listing>& listings, const SearchOptions& options) {
    std::vector<std::size_t> kept;
    kept.reserve(listings.size());
    for (std::size_t i = 0; i < listings.size(); ++i) {
        const Listing& listing = listings[i];
        const double price = std::strtod(listing.viewPrice.c_str(), nullptr);
        if (options.tmallOnly && !listing.tmall)
            continue;
        if ((options.minPrice && price < *options.minPrice) ||
            (options.maxPrice && price > *options.maxPrice))
            continue;
        kept.push_back(i);
    }
    if (options.bySales)
        std::stable_sort(kept.begin(), kept.end(),
                         [&](std::size_t a, std::size_t b) { return listings[a].sales > listings[b].sales; });
    return kept;
}

int pagesFor(std::size_t listingCount) {
    const auto pages = static_cast<int>((listingCount + resultPageSize - 1) / resultPageSize);
    return std::min(pages, maxResultPages);
}

} // namespace velmora::market
