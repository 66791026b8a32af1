#pragma once

#include "collectors/Endpoints.h"
#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The sales figure of an item from the mobile item detail: the first digits after
/// "totalSoldQuantity", or "" when there are none.
Text lookupSales(std::string_view itemId, const Endpoints& endpoints);

} // namespace velmora
