#include "samplePages.h"

#include "text/codePages.h"
#include "text/numbers.h"

#include <array>
#include <string_view>

namespace velmora::bench {

namespace {

constexpr std::array<std::string_view, 12> kWords = {
    "手机壳", "苹果", "硅胶", "全包防摔", "新款", "男女", "透明", "超薄", "磨砂", "液态", "镜头保护", "适用"};
constexpr std::array<std::string_view, 6> kPlaces = {"浙江 杭州", "广东 深圳", "上海",
                                                     "江苏 苏州", "福建 泉州", "北京"};
constexpr std::array<std::string_view, 5> kShops = {"数码旗舰店", "优品小铺", "潮流配件馆", "小王的店",
                                                    "carol数码"};

/// A small deterministic generator, so every run measures the same page.
struct Sequence {
    std::uint32_t state = 12345;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

std::string title(Sequence& sequence, bool highlighted) {
    std::string text = "2021" + std::string(kWords[sequence.next() % kWords.size()]);
    for (int i = 0; i < 5; ++i) {
        const std::string_view word = kWords[sequence.next() % kWords.size()];
        if (highlighted && i == 1) {
            text += "<span class=H>" + std::string(word) + "</span>";
        } else {
            text += word;
        }
        if (i == 2) {
            text += " iPhone" + intToText(11 + sequence.next() % 3) + " ";
        }
    }
    return text;
}

std::string listing(Sequence& sequence) {
    const std::string nid = intToText(600000000000 + sequence.next() % 99999999);
    const std::string userId = intToText(2200000000000 + sequence.next() % 999999999);
    const std::string address =
        "//item.taobao.com/item.htm?id\\u003d" + nid + "\\u0026ns\\u003d1\\u0026abbucket\\u003d5";
    Sequence titles = sequence;
    const std::string shown = title(titles, true);
    const std::string raw = title(sequence, false);
    return R"({"i2iTags":{"samestyle":{"url":"/search?type\u003dsamestyle\u0026app\u003di2i\u0026rec_type\u003d1\u0026uniqpid\u003d-)" +
           userId + R"(\u0026nid\u003d)" + nid +
           R"("},"similar":{"url":"/search?type\u003dsimilar\u0026app\u003di2i\u0026nid\u003d)" + nid +
           R"("}},"p4pTags":[],"nid":")" + nid + R"(","category":"50)" + intToText(sequence.next() % 999999) +
           R"(","pid":"","title":")" + shown + R"(","raw_title":")" + raw +
           R"(","pic_url":"//g-search1.alicdn.com/img/bao/uploaded/i4/i2/)" + userId + R"(/O1CN01x)" + nid +
           R"(_!!0-item_pic.jpg","detail_url":")" + address + R"(","view_price":")" +
           intToText(9 + sequence.next() % 300) + R"(.00","view_fee":"0.00","item_loc":")" +
           std::string(kPlaces[sequence.next() % kPlaces.size()]) + R"(","view_sales":")" +
           intToText(sequence.next() % 20000) + R"(人付款","comment_count":")" +
           intToText(sequence.next() % 5000) + R"(","user_id":")" + userId + R"(","nick":")" +
           std::string(kShops[sequence.next() % kShops.size()]) +
           R"(","shopcard":{"levelClasses":[{"levelClass":"icon-supple-level-jinguan"}],"isTmall":false,"delivery":[483,1,1862],"description":[487,1,1830],"service":[484,1,1703],"encryptedUserId":"UvCHWvmkYvmc0MGTT","sellerCredit":16,"totalRate":10000},"icon":[],"comment_url":")" +
           address +
           R"(\u0026on_comment\u003d1","shopLink":"//store.taobao.com/shop/view_shop.htm?user_number_id\u003d)" +
           userId + R"(","risk":""})";
}

} // namespace

Text listingPage(std::size_t size) {
    Sequence sequence;
    std::string page =
        R"(<script>g_page_config = {"pageName":"mainsrp","mods":{"itemlist":{"status":"show","data":{"postFeeText":"运费","trace":"msrp_auction","auctions":[)";
    while (page.size() < size) {
        page += listing(sequence);
        page += ',';
    }
    page.back() = ']';
    page +=
        R"(}}},"pager":{"status":"show","data":{"pageSize":44,"totalPage":100,"currentPage":1}}}};</script>)";
    return utf8ToAnsi(page);
}

std::string chineseUtf8Page(std::size_t size) {
    Sequence sequence;
    std::string page = "<html><body>";
    while (page.size() < size) {
        page += "<p>";
        for (int i = 0; i < 8; ++i) {
            page += kWords[sequence.next() % kWords.size()];
            page += kPlaces[sequence.next() % kPlaces.size()];
        }
        page += "，价格" + intToText(sequence.next() % 1000) + "元。</p>\n";
    }
    return page + "</body></html>";
}

} // namespace velmora::bench
