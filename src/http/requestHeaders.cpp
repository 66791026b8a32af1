#include "http/requestHeaders.h"

#include "http/headerLines.h"
#include "text/search.h"
#include "text/spaces.h"
#include "text/textBetween.h"

namespace velmora {

Text agentFor(std::string_view headers) {
    if (findText(headers, "User-Agent:", 1, true) == -1) {
        return Text(kDefaultAgent);
    }
    Text agent = trimSpaces(textBetween(headers, "User-Agent:", "\r\n"));
    if (agent.empty()) {
        // No line break after the marker: the User-Agent line is taken to be the only line.
        agent = headerValue(headers);
    }
    return agent;
}

void completeRequestHeaders(Text& headers, std::string_view url, std::string_view cookies) {
    // Each test is an exact search anywhere in the text, so "X-Referer:" counts as a Referer line
    // and "referer:" does not.
    if (findText(headers, "Referer:") == -1) {
        headers += headers.empty() ? "Referer: " : "\r\nReferer: ";
        headers += url;
    }
    if (findText(headers, "Accept:") == -1) {
        headers += "\r\nAccept: */*";
    }
    if (findText(headers, "Accept-Language:") == -1) {
        headers += "\r\nAccept-Language: zh-cn";
    }
    if (findText(headers, "Content-Type:") == -1) {
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    }
    if (!cookies.empty()) {
        headers += "\r\nCookie: ";
        headers += cookies;
    }
}

Text defaultObjectHeaders(std::string_view url) {
    Text headers = "Referer: ";
    headers += url;
    headers += "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nUser-Agent: ";
    headers += kDefaultAgent;
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    return headers;
}

} // namespace velmora
