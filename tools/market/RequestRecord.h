#pragma once

#include "market/Faults.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::market {

/// One request as the simulator received and answered it.
struct RequestRecord {
    int number = 0;     ///< 1-based, in the order the server received requests
    int connection = 0; ///< 1-based id of the TCP connection it came on (equal ids: a reused connection)
    std::string method;
    std::string host;                                         ///< the Host header as received (name and port)
    std::string target;                                       ///< path and query as received, not decoded
    std::vector<std::pair<std::string, std::string>> headers; ///< in the order received, duplicates kept
    std::string body;
    RequestKind kind = RequestKind::Other;
    std::optional<FaultType> fault; ///< the fault that hit this request, if any
    int status = 0;                 ///< the status sent (or that would have been sent for stall and reset)
    std::size_t bodyBytes = 0;      ///< size of the body prepared for the answer

    /// The value of the first header of that name (ASCII case ignored), "" when absent.
    std::string header(const std::string& name) const;
};

} // namespace velmora::market
