#include "market/SearchPage.h"

#include "market/Escaping.h"
#include "market/Random.h"

namespace velmora::market {

namespace {

std::string quoted(std::string_view text) {
    return "\"" + jsonEscape(text) + "\"";
}

// The marketplace's titles mark the searched words with <span class=H>.
std::string highlighted(const std::string& title, const std::string& keyword) {
    const std::size_t at = keyword.empty() ? std::string::npos : title.find(keyword);
    if (at == std::string::npos)
        return title;
    return title.substr(0, at) + "<span class=H>" + keyword + "</span>" + title.substr(at + keyword.size());
}

std::string encryptedId(std::uint64_t seed) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string id = "Uv";
    for (int i = 0; i < 11; ++i, seed /= 62)
        id += alphabet[seed % 62];
    return id;
}

std::string listingJson(const Listing& listing, const std::string& keyword, const std::string& domain,
                        const std::string& invalidBytes) {
    Rng rng(hashText(listing.nid));
    const std::string title = highlighted(listing.rawTitle, keyword) + invalidBytes;
    const std::string rawTitle = listing.rawTitleField + invalidBytes;
    const std::string levels[] = {"icon-supple-level-xin", "icon-supple-level-zuan", "icon-supple-level-guan",
                                  "icon-supple-level-jinguan"};
    std::string json = "{\"p4p\":\"\",\"p4pSameHeight\":true";
    json += ",\"nid\":\"" + listing.nid + "\"";
    json += ",\"category\":\"" + std::to_string(50010000 + rng.below(9000)) + "\",\"pid\":\"\"";
    json += ",\"title\":" + quoted(title);
    json += ",\"raw_title\":\"" + rawTitle + "\"";
    json += ",\"pic_url\":\"//img." + domain + "/bao/uploaded/i" + std::to_string(1 + rng.below(4)) + "/" +
            listing.nid + "/O1CN01" + encryptedId(rng.next()) + "_!!0-item_pic.jpg\"";
    json += ",\"detail_url\":\"" + listing.detailUrlField + "\"";
    json += ",\"view_price\":\"" + listing.viewPrice + "\",\"view_fee\":\"" +
            (rng.below(3) ? "0.00" : "10.00") + "\"";
    json += ",\"item_loc\":" + quoted(listing.location);
    json += ",\"view_sales\":" + quoted(listing.viewSales);
    json += ",\"comment_count\":\"" + std::to_string(listing.sales / 3 + rng.below(50)) + "\"";
    json += ",\"user_id\":\"" + listing.userId + "\",\"nick\":" + quoted(listing.nick);
    json += ",\"shopcard\":{\"levelClasses\":[{\"levelClass\":\"" + levels[rng.below(4)] + "\"}]";
    json += std::string(",\"isTmall\":") + (listing.tmall ? "true" : "false");
    json += ",\"delivery\":[" + std::to_string(470 + rng.below(30)) + ",1," +
            std::to_string(rng.below(3000)) + "]";
    json += ",\"description\":[" + std::to_string(470 + rng.below(30)) + ",1," +
            std::to_string(rng.below(3000)) + "]";
    json += ",\"service\":[" + std::to_string(470 + rng.below(30)) + ",1," + std::to_string(rng.below(3000)) +
            "]";
    json += ",\"encryptedUserId\":\"" + encryptedId(rng.next()) +
            "\",\"sellerCredit\":" + std::to_string(listing.tmall ? 20 : 1 + rng.below(19)) +
            ",\"totalRate\":" + std::to_string(9800 + rng.below(201)) + "}";
    if (listing.tmall)
        json += ",\"icon\":[{\"title\":\"尚天猫，就购了\",\"dom_class\":\"icon-service-tianmao\","
                "\"position\":\"1\","
                "\"show_type\":\"0\",\"icon_category\":\"baobei\",\"outer_text\":\"0\",\"html\":\"\",\"icon_"
                "key\":"
                "\"icon-service-tianmao\",\"trace\":\"srpservice\",\"traceIdx\":0,\"innerText\":\"天猫宝贝\","
                "\"url\":\"//www.tmall." +
                domain + "/\"}]";
    else
        json += ",\"icon\":[]";
    json += ",\"comment_url\":\"" + jsonEscape(listing.detailUrl + "&on_comment=1") + "\"";
    json += ",\"shopLink\":\"//shop" + listing.shopId + "." + domain + "\",\"risk\":\"\"}";
    return json;
}

std::string pagerJson(const SearchPageContent& content, bool withTotalPage) {
    std::string data = "{\"pageSize\":44";
    if (withTotalPage)
        data += ",\"totalPage\":" + std::to_string(content.totalPage);
    data += ",\"currentPage\":" + std::to_string(content.currentPage) +
            ",\"totalCount\":" + std::to_string(content.totalCount) + "}";
    return data;
}

std::string pageConfig(const SearchPageContent& content) {
    const std::string& d = content.domain;
    std::string json =
        "{\"pageName\":\"mainsrp\",\"mods\":{\"shopcombotip\":{\"status\":\"hide\"},"
        "\"phonenav\":{\"status\":\"show\",\"data\":{\"fold\":true}},\"debugbar\":{\"status\":\"hide\"},"
        "\"shopcombo\":{\"status\":\"hide\"},\"itemlist\":{\"status\":\"show\",\"data\":{"
        "\"postFeeText\":\"运费\",\"trace\":\"msrp_auction\",\"auctions\":[";
    const std::string invalid = content.invalidBytes;
    for (std::size_t i = 0; i < content.listings.size(); ++i) {
        if (i > 0)
            json += ",";
        json += listingJson(*content.listings[i], content.keyword, d, i == 0 ? invalid : std::string());
    }
    json += "],\"recommendAuctions\":[],\"isSameStyleView\":false,\"sellers\":[],\"query\":" +
            quoted(content.keyword + (content.listings.empty() ? invalid : std::string())) +
            ",\"spuList\":[]}},\"bottomsearch\":{\"status\":\"show\",\"data\":{\"query\":" +
            quoted(content.keyword) + "}},";
    if (content.pagerForm == PagerForm::TotalPage)
        json += "\"pager\":{\"status\":\"hide\",\"data\":" + pagerJson(content, true) + "},";
    else
        json += "\"pager\":{\"status\":\"hide\"},";
    json += "\"sortbar\":{\"status\":\"show\",\"data\":{\"price\":{\"rank\":\"\",\"oriPrice\":\"\","
            "\"lowPrice\":\"\","
            "\"highPrice\":\"\"},\"sortList\":[{\"name\":\"综合\",\"value\":\"default\"},{\"name\":\"销量\","
            "\"value\":\"sale-desc\"},{\"name\":\"价格从低到高\",\"value\":\"price-asc\"}]}}},";
    json += "\"mainInfo\":{\"currentUrl\":" + quoted("//s." + d + content.target) +
            ",\"srpGlobal\":{\"q\":" + quoted(content.keyword) +
            ",\"utf8_q\":" + quoted(percentEncode(content.keyword)) +
            ",\"cat\":\"\",\"s\":" + std::to_string(content.offset) + ",\"bucketid\":\"" +
            std::to_string(hashText(content.keyword) % 20) +
            "\"},\"traceInfo\":{\"traceData\":{"
            "\"totalCount\":\"" +
            std::to_string(content.totalCount) +
            "\"}}},\"feature\":{\"webpOff\":false,"
            "\"retinaOff\":false,\"shopcardOff\":false},\"map\":{}}";
    return json;
}

} // namespace

std::string searchPage(const SearchPageContent& content) {
    const std::string& d = content.domain;
    const std::string keyword = htmlEscape(content.keyword);
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"spm-id\" content=\"a230r.1\">\n<title>" +
                       keyword + "_淘宝搜索</title>\n<link rel=\"stylesheet\" href=\"//g." + d +
                       "/srp/index.css\">\n</head>\n<body class=\"srp\">\n"
                       "<div id=\"J_SiteNav\" class=\"site-nav\"><a href=\"//login." +
                       d + "/member/login.jhtml\">亲，请登录</a> <a href=\"//www." + d +
                       "/\">淘宝网首页</a></div>\n"
                       "<div id=\"header\"><form id=\"J_SearchForm\" action=\"//s." +
                       d +
                       "/search\" accept-charset=\"gbk\">"
                       "<input id=\"q\" name=\"q\" value=\"" +
                       keyword +
                       "\" autocomplete=\"off\">"
                       "<button type=\"submit\">搜索</button></form></div>\n"
                       "<div id=\"main\" class=\"grid-total\">\n<div id=\"mainsrp-itemlist\"></div>\n"
                       "<div id=\"mainsrp-pager\"></div>\n</div>\n";
    if (content.pagerForm == PagerForm::MaxOnly)
        page += "<script>\n    var g_pager_config = {pageSize:44,currentPage:" +
                std::to_string(content.currentPage) + ",max:" + std::to_string(content.totalPage) +
                ",totalCount:" + std::to_string(content.totalCount) + "};\n</script>\n";
    page += "<script>\n    g_page_config = " + pageConfig(content) +
            ";\n    g_srp_loadCss();\n    g_srp_init();\n</script>\n</body>\n</html>\n";
    return page;
}

} // namespace velmora::market
