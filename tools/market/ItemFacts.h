#pragma once

#include "market/Catalogue.h"

#include <string>
#include <string_view>

namespace velmora::market {

// Facts that depend on an item id or a shop id alone, so that every page that shows the same item or shop
// (search listing, item detail, shop pages) agrees on them.

/// The id of a shop's index-th item (0-based): "5", the 1-based index in five digits, then the shop id.
std::string shopItemId(std::string_view shopId, int index);

/// The shop an item belongs to: read back from a shop item id, otherwise derived from the id.
std::string shopOfItem(std::string_view itemId);

/// Whether a shop id names a Tmall shop by default: ids whose last digit is 0.
bool isTmallShopId(std::string_view shopId);

/// The sales figure of an item and how the mobile detail writes it.
ItemSales itemSales(std::string_view itemId);

/// The view_sales text of the search listing for a figure: "1234人付款", "1.2万+人付款".
std::string viewSalesText(int sales);

/// The item's price, "39.00".
std::string itemPrice(std::string_view itemId);

/// The catalogue a shop has unless a test sets another.
ShopSettings defaultShopSettings(std::string_view shopId);

/// The seller's numeric user id.
std::string sellerUserId(std::string_view shopId);

/// The shop's location, "浙江 杭州".
std::string shopLocation(std::string_view shopId);

/// The title of a shop's index-th item (0-based).
std::string shopItemTitle(std::string_view shopId, int index);

/// The title an item page or detail answer shows for any item id.
std::string itemTitle(std::string_view itemId);

} // namespace velmora::market
