#include "collectors/lookupSales.h"

#include "http/httpFetch.h"
#include "text/RegexObject.h"
#include "text/bytes.h"

namespace velmora {

Text lookupSales(std::string_view itemId, const Endpoints& endpoints) {
    RegexObject salesMatcher;
    // The key and the digits are ASCII in either encoding, so the body is not converted.
    const Text page = bytesToText(httpFetch(endpoints.itemDetailAddress(itemId)));
    salesMatcher.execute(R"re(totalSoldQuantity\D+(\d+))re", page);
    return salesMatcher.subMatchText(1, 1);
}

} // namespace velmora
