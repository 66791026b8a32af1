#include "market/DetailAnswer.h"

#include "market/Escaping.h"
#include "market/ItemFacts.h"
#include "market/Random.h"

namespace velmora::market {

namespace {

std::string quoted(std::string_view text) {
    return "\"" + jsonEscape(text) + "\"";
}

bool allDigits(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The inner document that the detail service embeds as a string.
std::string esiValue(const std::string& itemId, const std::string& location) {
    const ItemSales sales = itemSales(itemId);
    Rng rng(hashText(itemId) ^ 0xe51);
    std::string item = "{";
    if (!sales.soldQuantity.empty())
        item += "\"totalSoldQuantity\":" + quoted(sales.soldQuantity) + ",";
    item += "\"quantity\":\"" + std::to_string(100 + rng.below(5000)) + "\",\"skuQuantity\":[]}";
    return "{\"api\":\"wdetail\",\"data\":{\"delivery\":{\"areaId\":\"330100\",\"deliveryFees\":[\"快递: " +
           std::string(rng.below(3) ? "0.00" : "10.00") +
           "\"],\"destination\":\"杭州市\",\"from\":" + quoted(location) +
           ",\"extras\":{}},\"item\":" + item + ",\"price\":{\"price\":{\"priceText\":\"" +
           itemPrice(itemId) +
           "\"},\"extraPrices\":[]},\"trade\":{\"buyEnable\":\"true\",\"cartEnable\":\"true\"}},"
           "\"ret\":[\"SUCCESS::调用成功\"],\"v\":\"5.0\"}";
}

} // namespace

std::string itemDetailAnswer(const std::string& itemId, const ShopSettings& shop, const std::string& shopId,
                             const std::string& domain, const std::string& invalidBytes) {
    if (!allDigits(itemId))
        return "{\"api\":\"wdetail\",\"v\":\"5.0\",\"ret\":[\"ERRCODE_QUERY_DETAIL_FAIL::宝贝不存在\"],"
               "\"data\":{}}";
    Rng rng(hashText(itemId) ^ 0xde7);
    const std::string location = shopLocation(shopId);
    const bool tmall = shop.layout != ShopLayout::Plain;
    std::string json = "{\"api\":\"wdetail\",\"v\":\"5.0\",\"ret\":[\"SUCCESS::调用成功\"],\"data\":{";
    json += "\"apiStack\":[{\"name\":\"esi\",\"value\":" + quoted(esiValue(itemId, location)) + "}],";
    json += "\"itemInfoModel\":{\"itemId\":\"" + itemId + "\",\"title\":\"" + jsonEscape(itemTitle(itemId)) +
            invalidBytes + "\",\"favcount\":\"" + std::to_string(rng.below(20000)) +
            "\",\"stuffStatus\":\"全新\",\"location\":" + quoted(location) + ",\"categoryId\":\"" +
            std::to_string(50010000 + rng.below(9000)) + "\",\"itemUrl\":\"http://a.m." + domain + "/i" +
            itemId + ".htm\",\"picsPath\":[\"http://img." + domain + "/bao/uploaded/i1/" + itemId +
            ".jpg\"],\"isMakeup\":false},";
    json += "\"seller\":{\"userNumId\":\"" + sellerUserId(shopId) + "\",\"type\":\"" + (tmall ? "B" : "C") +
            "\",\"nick\":" + quoted(shop.nick) + ",\"creditLevel\":\"" + std::to_string(1 + rng.below(19)) +
            "\",\"shopId\":\"" + shopId + "\",\"shopTitle\":" + quoted(shop.nick) +
            ",\"goodRatePercentage\":\"99." + std::to_string(10 + rng.below(90)) + "%\",\"fansCount\":\"" +
            std::to_string(rng.below(500000)) + "\"},";
    json += "\"rateInfo\":{\"rateCounts\":\"" + std::to_string(rng.below(9000)) +
            "\",\"rateDetailList\":[]},\"trackParams\":{\"BC_type\":\"" + (tmall ? "B" : "C") + "\"}}}";
    return json;
}

} // namespace velmora::market
