#include "http/responseScan.h"

#include "http/cookieMerge.h"
#include "http/headerLines.h"
#include "text/cut.h"
#include "text/search.h"

namespace velmora {

void scanResponseHeaders(std::string_view responseHeaders, Text& location, Text& receivedCookies) {
    receivedCookies.clear();
    // Both tests are exact and match anywhere in the line, so a Content-Location line after a
    // Location line overrides it.
    for (const Text& line : splitText(responseHeaders, "\r\n")) {
        if (findText(line, "Location:") != -1) {
            location = headerValue(line);
        }
        if (findText(line, "Set-Cookie") != -1) {
            collectSetCookie(receivedCookies, line);
        }
    }
    receivedCookies = textLeft(receivedCookies, static_cast<int>(receivedCookies.size()) - 2);
}

} // namespace velmora
