#include "market/ShopPages.h"

#include "market/Escaping.h"
#include "market/ItemFacts.h"
#include "market/Random.h"

#include <algorithm>
#include <cstdio>

namespace velmora::market {

namespace {

std::string widgetId(const std::string& shopId) {
    return std::to_string(10000000000ull + hashText(shopId) % 8999999999ull);
}

// Non-ASCII handles travel percent-encoded in data-nick; plain ASCII ones as they are.
std::string dataNick(const std::string& nick) {
    return percentEncode(nick);
}

std::string shopHost(const std::string& shopId, bool tmall, const std::string& domain) {
    return "shop" + shopId + (tmall ? ".tmall." : ".") + domain;
}

std::string pageHead(const std::string& title, const std::string& shopId, const std::string& domain) {
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"gbk\">\n"
           "<meta name=\"microscope-data\" content=\"pageId=" +
           std::to_string(1000000000ull + hashText(shopId) % 899999999ull) +
           ";prototypeId=2;siteCategory=1;shopId=" + shopId + ";userid=" + sellerUserId(shopId) +
           ";\">\n<title>" + title + "</title>\n<link rel=\"stylesheet\" href=\"//g." + domain +
           "/shop/base.css\">\n</head>\n";
}

std::string shopHeader(const std::string& shopId, const ShopSettings& shop, const std::string& domain,
                       const std::string& invalidBytes) {
    const bool tmall = shop.layout != ShopLayout::Plain;
    const std::string home = "//" + shopHost(shopId, tmall, domain);
    return "<div id=\"hd\" class=\"shop-hd\">\n<div class=\"shop-summary\">\n<a class=\"shop-name\" href=\"" +
           home + "/\"><span>" + htmlEscape(shop.nick) + invalidBytes +
           "</span></a>\n<span class=\"J_WangWang wangwang\" data-nick=\"" + dataNick(shop.nick) +
           "\" data-tnick=\"" + dataNick(shop.nick) +
           "\" data-display=\"inline\" data-icon=\"large\"></span>\n<span class=\"shop-rank\">" +
           (tmall ? "天猫" : "信誉") + "</span> <span class=\"locus\">" + shopLocation(shopId) +
           "</span>\n</div>\n<ul class=\"shop-nav\">\n<li><a href=\"" + home +
           "/\">首页</a></li>\n<li><a href=\"" + home +
           "/search.htm?search=y\">所有宝贝</a></li>\n</ul>\n</div>\n";
}

std::string itemLink(const std::string& itemId, bool tmall, const std::string& domain) {
    if (!tmall)
        return "//item." + domain + "/item.htm?id=" + itemId;
    const std::uint64_t h = mixBits(hashText(itemId) ^ 0x7e11);
    char rn[40];
    std::snprintf(rn, sizeof rn, "%016llx%016llx", static_cast<unsigned long long>(h),
                  static_cast<unsigned long long>(mixBits(h)));
    return "//detail.tmall." + domain + "/item.htm?id=" + itemId + "&rn=" + rn +
           "&abbucket=" + std::to_string(h % 20);
}

std::string itemBlock(const ShopItem& item, bool tmall, const std::string& domain,
                      const std::string& titleTail) {
    const std::string title = htmlEscape(item.title);
    std::string html =
        "<dl class=\"item \" data-id=\"" + item.id + "\">\r\n<dt class=\"photo\">\r\n<a href=\"" + item.link +
        "\" target=\"_blank\">\r\n<img alt=\"" + title + "\" src=\"//img." + domain + "/bao/uploaded/" +
        item.id + ".jpg_240x240.jpg\">\r\n</a>\r\n</dt>\r\n<dd class=\"detail\">\r\n";
    const std::string price =
        "<div class=\"cprice-area\"><span class=\"symbol\">&yen;</span><span class=\"c-price\">" +
        item.price + " </span></div>\r\n";
    if (tmall) {
        html += "<a class=\"item-name\" data-spm-click=\"gostr=/tmallshop;locaid=d" + item.id.substr(1, 5) +
                "\" href=\"" + item.link + "\" target=\"_blank\">" + title + titleTail + "</a>\r\n" +
                "<div class=\"attribute\">\r\n" + price;
        if (!item.saleNum.empty())
            html += "<div class=\"sale-area\">月销量：<span class=\"sale-num\">" + item.saleNum +
                    "</span></div>\r\n";
        html += "</div>\r\n";
    } else {
        html += "<a class=\"item-name\" href=\"" + item.link + "\" target=\"_blank\">" + title + titleTail +
                "</a>  \r\n" + price;
        if (!item.saleNum.empty())
            html += "<div class=\"sale-area\">已售：<span class=\"sale-num\">" + item.saleNum +
                    "</span>笔</div>\r\n";
    }
    html += "</dd>\r\n<dd class=\"rates\"><a href=\"" + item.link +
            "&on_comment=1\" target=\"_blank\">评价: " + std::to_string(hashText(item.id) % 500) +
            "</a></dd>\r\n</dl>\r\n";
    return html;
}

std::string pagination(const std::string& shopId, bool tmall, int page, int lastPage,
                       const std::string& domain) {
    // Tmall storefronts link back to their own search page under the Tmall domain: the marker of that layout.
    const std::string search = "//" + shopHost(shopId, tmall, domain) + "/search.htm?search=y";
    std::string html = "<div class=\"pagination\">\r\n";
    if (page > 1)
        html += "<a class=\"J_SearchAsync prev\" href=\"" + search + "&pageNo=" + std::to_string(page - 1) +
                "#anchor\">上一页</a>\r\n";
    html += "<span class=\"page-cur\">" + std::to_string(page) + "</span>\r\n";
    if (page < lastPage)
        html += "<a class=\"J_SearchAsync next\" href=\"" + search + "&pageNo=" + std::to_string(page + 1) +
                "#anchor\">下一页</a>\r\n";
    return html + "</div>\r\n";
}

} // namespace

int shopLastPage(const ShopSettings& shop) {
    const int size = std::max(shop.pageSize, 1);
    return std::max(1, (shop.itemCount + size - 1) / size);
}

bool shopPageIsTmall(const ShopSettings& shop, int page) {
    switch (shop.layout) {
    case ShopLayout::Plain:
        return false;
    case ShopLayout::Tmall:
        return true;
    case ShopLayout::Alternating:
        return page % 2 == 1;
    }
    return false;
}

std::vector<ShopItem> shopPageItems(const std::string& shopId, const ShopSettings& shop, int page,
                                    const std::string& domain) {
    const int effective = std::clamp(page, 1, shopLastPage(shop));
    const bool tmall = shopPageIsTmall(shop, effective);
    const int size = std::max(shop.pageSize, 1);
    std::vector<ShopItem> items;
    for (int index = (effective - 1) * size; index < std::min(shop.itemCount, effective * size); ++index) {
        ShopItem item;
        item.id = shopItemId(shopId, index);
        item.link = itemLink(item.id, tmall, domain);
        item.title = shopItemTitle(shopId, index);
        item.price = itemPrice(item.id);
        if (shop.noSalesEvery <= 0 || (index + 1) % shop.noSalesEvery != 0)
            item.saleNum = std::to_string(itemSales(item.id).sales);
        items.push_back(std::move(item));
    }
    return items;
}

std::string shopHomePage(const std::string& shopId, const ShopSettings& shop, const std::string& domain,
                         const std::string& invalidBytes) {
    std::string html =
        pageHead(htmlEscape(shop.nick) + "-首页-淘宝网", shopId, domain) + "<body class=\"shop\">\n" +
        shopHeader(shopId, shop, domain, invalidBytes) +
        "<div id=\"bd\">\n<div class=\"J_TModule\" data-title=\"宝贝推荐\">\n<ul class=\"shop-items\">\n";
    const std::vector<ShopItem> featured = shopPageItems(shopId, shop, 1, domain);
    for (std::size_t i = 0; i < std::min<std::size_t>(featured.size(), 8); ++i)
        html += "<li><a href=\"" + htmlEscape(featured[i].link) + "\" target=\"_blank\">" +
                htmlEscape(featured[i].title) + "</a> <em>&yen;" + featured[i].price + "</em></li>\n";
    html += "</ul>\n</div>\n</div>\n</body>\n</html>\n";
    return html;
}

std::string itemPage(const std::string& itemId, const std::string& shopId, const ShopSettings& shop,
                     const std::string& domain, const std::string& invalidBytes) {
    const std::string title = htmlEscape(itemTitle(itemId));
    return pageHead(title + "-淘宝网", shopId, domain) + "<body class=\"item\">\n" +
           shopHeader(shopId, shop, domain, std::string()) + "<div id=\"detail\" data-item-id=\"" + itemId +
           "\">\n<h3 class=\"tb-main-title\">" + title + invalidBytes +
           "</h3>\n<div class=\"tb-price\"><em>&yen;</em><strong>" + itemPrice(itemId) +
           "</strong></div>\n<div class=\"tb-sell-counter\">月销量 " +
           std::to_string(itemSales(itemId).sales) + "</div>\n<a class=\"enter-shop\" href=\"//" +
           shopHost(shopId, shop.layout != ShopLayout::Plain, domain) +
           "/\">进入店铺</a>\n</div>\n</body>\n</html>\n";
}

std::string asyncSearchValue(const std::string& shopId) {
    const std::string wid = widgetId(shopId);
    const std::uint64_t h = hashText(shopId);
    const std::string callback = std::to_string(100 + h % 900);
    return "/i/asynSearch.htm?_ksTS=" + std::to_string(1717400000000ull + h % 99999999ull) + "_" +
           std::to_string(100 + (h >> 20) % 900) + "&amp;callback=jsonp" + callback + "&amp;mid=w-" + wid +
           "-0&amp;wid=" + wid + "&amp;path=/search.htm&amp;search=y";
}

std::string shopSearchPage(const std::string& shopId, const ShopSettings& shop, const std::string& domain,
                           bool signedIn, const std::string& invalidBytes) {
    std::string html = pageHead(htmlEscape(shop.nick) + "-淘宝网", shopId, domain) +
                       "<body class=\"shop\">\n" + shopHeader(shopId, shop, domain, invalidBytes);
    if (!signedIn) {
        const std::string self = "http://shop" + shopId + "." + domain + "/search.htm";
        return html +
               "<div id=\"bd\" class=\"login-required\">\n<p>亲，请先登录后再查看店铺宝贝。</p>\n"
               "<a class=\"login-link\" href=\"//login." +
               domain + "/member/login.jhtml?redirectURL=" + percentEncode(self) +
               "\">请登录</a>\n</div>\n</body>\n</html>\n";
    }
    const std::string wid = widgetId(shopId);
    return html + "<div id=\"bd\">\n<div class=\"J_TModule\" data-widgetid=\"" + wid + "\" id=\"shop" + wid +
           "\" data-componentid=\"4010\" data-title=\"宝贝列表\">\n"
           "<div class=\"skin-box tb-module tshop-pbsm tshop-pbsm-shop-item-list\">\n"
           "<input id=\"J_ShopAsynSearchURL\" type=\"hidden\" value=\"" +
           asyncSearchValue(shopId) +
           "\" />\n"
           "<div class=\"J_TItems\"><div class=\"loading\">加载中...</div></div>\n</div>\n</div>\n</div>\n"
           "</body>\n</html>\n";
}

std::string shopItemAnswer(const std::string& shopId, const ShopSettings& shop, int page,
                           const std::string& callback, const std::string& domain,
                           const std::string& invalidBytes) {
    const int lastPage = shopLastPage(shop);
    const int effective = std::clamp(page, 1, lastPage);
    const bool tmall = shopPageIsTmall(shop, effective);
    const std::vector<ShopItem> items = shopPageItems(shopId, shop, effective, domain);
    std::string html =
        "\r\n<div class=\"shop-hesper-bd grid\">\r\n<div class=\"filter clearfix J_TFilter\">\r\n"
        "<p class=\"ui-page-s\"><b class=\"ui-page-s-len\">" +
        std::to_string(effective) + "/" + std::to_string(lastPage) + "</b></p>\r\n</div>\r\n";
    html += "<div class=\"J_TItems\">\r\n<div class=\"item" + std::string(tmall ? "5line1" : "4line1") +
            "\">\r\n";
    if (items.empty())
        html += "<p class=\"item-not-found\">很抱歉，搜索结果为空</p>\r\n";
    for (std::size_t i = 0; i < items.size(); ++i)
        html += itemBlock(items[i], tmall, domain, i == 0 ? invalidBytes : std::string());
    html += "</div>\r\n" + pagination(shopId, tmall, effective, lastPage, domain) + "</div>\r\n</div>\r\n";
    std::string escaped;
    escaped.reserve(html.size() + html.size() / 8);
    for (char c : html) {
        if (c == '"')
            escaped += '\\';
        escaped += c;
    }
    return callback + "(\"" + escaped + "\")";
}

} // namespace velmora::market
