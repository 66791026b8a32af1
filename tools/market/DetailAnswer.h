#pragma once

#include "market/Catalogue.h"

#include <string>

namespace velmora::market {

/// The mobile item detail of an item as JSON (UTF-8): the sold quantity sits in the escaped inner JSON of the
/// "esi" api stack entry. An empty or non-numeric id gives the marketplace's "item not found" answer.
std::string itemDetailAnswer(const std::string& itemId, const ShopSettings& shop, const std::string& shopId,
                             const std::string& domain, const std::string& invalidBytes);

} // namespace velmora::market
