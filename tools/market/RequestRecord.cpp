#include "market/RequestRecord.h"

#include "market/HttpMessage.h"

namespace velmora::market {

std::string RequestRecord::header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (sameHeaderName(key, name))
            return value;
    return {};
}

} // namespace velmora::market
