#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// Every host the collectors and the browser pane talk to, in one place.
struct Endpoints {
    Text searchHost;  ///< keyword search
    Text detailHost;  ///< mobile item detail
    Text mainDomain;  ///< shops live at "shop" + id + "." + mainDomain
    Text tmallDomain; ///< the Tmall storefront marker is tmallDomain + "/search.htm"
    Text loginOrigin; ///< scheme and host of the sign-in page
    Text homeAddress; ///< the marketplace's home page, where a sign-in returns to

    /// The real marketplace.
    static Endpoints marketplace();

    /// A marketplace simulator under `domain` (for example "market.localhost:8123").
    static Endpoints simulator(std::string_view domain);

    /// "http://" + search host + "/search?q=".
    Text searchBase() const;

    /// The mobile item-detail address of an item.
    Text itemDetailAddress(std::string_view itemId) const;

    /// The shop's search page: "http://shop" + id + "." + main domain + "/search.htm?".
    Text shopSearchAddress(std::string_view shopId) const;

    /// Scheme and host of the shop's own sub-domain, without a path.
    Text shopBaseAddress(std::string_view shopId) const;

    /// The text a Tmall storefront page holds: the Tmall domain followed by "/search.htm".
    Text tmallStorefrontMarker() const;

    /// The start address of the browser pane: the sign-in page, returning to the home page.
    Text signInAddress() const;
};

} // namespace velmora
