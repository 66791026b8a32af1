#include "market/ItemFacts.h"

#include "market/Random.h"

#include <cstdio>

namespace velmora::market {

namespace {

const char* const locations[] = {"浙江 杭州", "广东 广州", "广东 深圳", "上海",      "北京",     "江苏 苏州",
                                 "福建 泉州", "山东 青岛", "浙江 义乌", "湖北 武汉", "四川 成都"};

const char* const tmallBrands[] = {"森屿", "北极绒", "南山",   "云朵", "初木",
                                   "鹿角", "知音",   "百草园", "禾木", "优品"};
const char* const tmallSuffixes[] = {"官方旗舰店", "旗舰店", "专营店", "家居旗舰店", "服饰旗舰店"};
const char* const plainHeads[] = {"小鱼", "小鹿", "米粒", "兔子", "阿狸",
                                  "糖果", "木子", "青禾", "豆豆", "橙子"};
const char* const plainTails[] = {"的小店", "家", "杂货铺", "精品屋", "工作室", "优选", "生活馆"};
const char* const asciiHeads[] = {"lucky", "sunny", "happy", "cool", "tiny", "maple"};
const char* const asciiTails[] = {"shop", "store", "mall", "house"};

struct Category {
    const char* products[5];
    const char* details[5];
};

const Category categories[] = {
    {{"连衣裙", "半身裙", "针织开衫", "衬衫", "阔腿裤"}, {"女", "宽松显瘦", "春秋款", "韩版", "气质"}},
    {{"西湖龙井", "铁观音", "普洱茶饼", "大红袍", "白茶"}, {"礼盒装", "250g", "明前", "浓香型", "散装"}},
    {{"数据线", "充电宝", "蓝牙耳机", "手机壳", "移动电源"}, {"快充", "大容量", "无线", "防摔", "通用"}},
    {{"收纳盒", "抱枕", "四件套", "保温杯", "香薰"}, {"家用", "加厚", "北欧风", "大号", "便携"}},
    {{"坚果礼盒", "牛肉干", "饼干", "果干", "辣条"}, {"零食", "独立包装", "休闲", "整箱", "网红"}},
};

const char* const titleHeads[] = {"2024新款", "正品", "包邮", "特价", "官方", "爆款", "现货"};

std::string digits(std::uint64_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu", width, static_cast<unsigned long long>(value));
    return text;
}

// Shop item ids carry their shop: "5", a five-digit index, then the shop id.
bool isShopItemId(std::string_view itemId) {
    if (itemId.size() <= 6 || itemId[0] != '5')
        return false;
    for (char c : itemId)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

std::string shopItemId(std::string_view shopId, int index) {
    return "5" + digits(index + 1, 5) + std::string(shopId);
}

std::string shopOfItem(std::string_view itemId) {
    if (isShopItemId(itemId))
        return std::string(itemId.substr(6));
    const std::uint64_t h = mixBits(hashText(itemId) ^ 0x5103);
    // About three listings in ten come from Tmall shops, whose ids end in 0.
    const std::uint64_t last = (h >> 40) % 10 < 3 ? 0 : 1 + (h >> 44) % 9;
    return digits(10000000 + h % 89999999, 8) + digits(last, 1);
}

bool isTmallShopId(std::string_view shopId) {
    return !shopId.empty() && shopId.back() == '0';
}

ItemSales itemSales(std::string_view itemId) {
    const std::uint64_t h = mixBits(hashText(itemId) ^ 0x5a1e);
    const std::uint64_t tier = h % 100;
    const std::uint64_t spread = h >> 16;
    ItemSales result;
    if (tier < 8)
        result.sales = 0;
    else if (tier < 60)
        result.sales = static_cast<int>(1 + spread % 999);
    else if (tier < 93)
        result.sales = static_cast<int>(1000 + spread % 9000);
    else
        result.sales = static_cast<int>(10000 + spread % 90000);
    // Some detail answers leave the sold quantity out altogether.
    if ((h >> 48) % 100 < 7)
        return result;
    if (result.sales >= 10000) {
        const int tenths = result.sales / 1000;
        result.soldQuantity =
            std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "") + "万";
    } else {
        result.soldQuantity = std::to_string(result.sales);
    }
    return result;
}

std::string viewSalesText(int sales) {
    if (sales < 10000)
        return std::to_string(sales) + "人付款";
    const int tenths = sales / 1000;
    return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "") + "万+人付款";
}

std::string itemPrice(std::string_view itemId) {
    const std::uint64_t h = mixBits(hashText(itemId) ^ 0x9121);
    static const int cents[] = {0, 0, 90, 99, 80, 50};
    const std::uint64_t tier = h % 10;
    const std::uint64_t yuan = tier < 5   ? 5 + (h >> 8) % 95
                               : tier < 9 ? 100 + (h >> 8) % 400
                                          : 500 + (h >> 8) % 2500;
    return std::to_string(yuan) + "." + digits(static_cast<std::uint64_t>(cents[(h >> 32) % 6]), 2);
}

ShopSettings defaultShopSettings(std::string_view shopId) {
    Rng rng(hashText(shopId) ^ 0x5409);
    ShopSettings settings;
    settings.itemCount = static_cast<int>(20 + rng.below(150));
    settings.pageSize = 24;
    settings.layout = isTmallShopId(shopId) ? ShopLayout::Tmall : ShopLayout::Plain;
    settings.noSalesEvery = rng.below(4) == 0 ? 7 : 0;
    if (isTmallShopId(shopId)) {
        settings.nick = std::string(rng.pick(tmallBrands)) + rng.pick(tmallSuffixes);
    } else if (rng.below(10) < 3) {
        // Plain ASCII handles travel without percent escapes.
        settings.nick =
            std::string(rng.pick(asciiHeads)) + "_" + rng.pick(asciiTails) + std::to_string(rng.below(100));
    } else {
        settings.nick = std::string(rng.pick(plainHeads)) + rng.pick(plainTails);
    }
    return settings;
}

std::string sellerUserId(std::string_view shopId) {
    return std::to_string(2000000000ull + mixBits(hashText(shopId) ^ 0x05e1) % 1999999999ull);
}

std::string shopLocation(std::string_view shopId) {
    Rng rng(hashText(shopId) ^ 0x10c);
    return rng.pick(locations);
}

std::string shopItemTitle(std::string_view shopId, int index) {
    const Category& category = categories[hashText(shopId) % (sizeof categories / sizeof categories[0])];
    Rng rng(mixBits(hashText(shopId) + static_cast<std::uint64_t>(index)));
    std::string title = rng.pick(titleHeads);
    title += category.products[rng.below(5)];
    title += category.details[rng.below(5)];
    title += " " + std::string(1, static_cast<char>('A' + rng.below(26))) + std::to_string(100 + index);
    return title;
}

std::string itemTitle(std::string_view itemId) {
    const std::string shopId = shopOfItem(itemId);
    if (isShopItemId(itemId))
        return shopItemTitle(shopId, std::stoi(std::string(itemId.substr(1, 5))) - 1);
    return shopItemTitle(shopId, static_cast<int>(hashText(itemId) % 1000));
}

} // namespace velmora::market
