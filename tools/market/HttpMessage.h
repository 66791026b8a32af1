#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::market {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

/// One request as read off the connection.
struct HttpRequest {
    std::string method;
    std::string target; ///< path and query as sent
    std::string version;
    HeaderList headers; ///< in the order received
    std::string body;

    /// The value of the first header of that name (ASCII case ignored), "" when absent.
    std::string header(std::string_view name) const;
};

/// One answer; the server adds Server, Date, Content-Length and Connection itself.
struct HttpResponse {
    int status = 200;
    HeaderList headers;
    std::string body;
};

/// How the answer travels back.
enum class Delivery {
    Whole,        ///< at once
    Stall,        ///< not at all, until the server stops or the client leaves
    Drip,         ///< headers at once, then the body one byte per interval
    ResetMidBody, ///< headers and half of the body, then a connection reset
};

/// What the request handler hands back to the server.
struct HttpReply {
    HttpResponse response;
    Delivery delivery = Delivery::Whole;
    int delayMs = 0;           ///< wait before anything is sent
    int dripIntervalMs = 1000; ///< pause after every byte of a dripped body
};

/// Whether two header names are equal with ASCII case ignored.
bool sameHeaderName(std::string_view a, std::string_view b);

/// The reason phrase of a status code.
const char* reasonPhrase(int status);

} // namespace velmora::market
