#include "http/urlParts.h"

#include "text/cut.h"
#include "text/letterCase.h"
#include "text/numbers.h"
#include "text/search.h"
#include "text/textBetween.h"

namespace velmora {

Text hostOf(std::string_view url, bool keepPort) {
    Text lowered = toLowerCase(url);
    if (textRight(lowered, 1) != "/") {
        lowered += "/";
    }
    // Anything that is not https counts as http, and an address without a scheme gets one, so
    // the host always sits between a scheme marker and the next "/".
    Text marker = "https://";
    if (textLeft(lowered, 8) != marker) {
        marker = "http://";
        if (findText(lowered, marker) == -1) {
            lowered = marker + lowered;
        }
    }
    Text host = textBetween(lowered, marker, "/");
    if (!keepPort) {
        const int colon = findText(host, ":");
        if (colon != -1) {
            host = textLeft(host, colon - 1);
        }
    }
    return host;
}

int portOf(std::string_view url) {
    const Text hostAndPort = hostOf(url, true);
    const int colon = findTextReverse(hostAndPort, ":");
    if (colon == -1) {
        return isSecureAddress(url) ? 443 : 80;
    }
    return textToInt(textMid(hostAndPort, colon + 1, static_cast<int>(hostAndPort.size())));
}

Text pathOf(std::string_view url) {
    const int hostAt = findText(url, hostOf(url), 1, true);
    const int slashAt = findText(url, "/", hostAt);
    if (slashAt == -1) {
        return "/";
    }
    return textMid(url, slashAt, static_cast<int>(url.size()));
}

bool isSecureAddress(std::string_view url) {
    return toLowerCase(textLeft(url, 5)) == "https";
}

} // namespace velmora
