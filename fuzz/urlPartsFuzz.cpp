// The URL splitting over random addresses: never failing, the host lower-case and free of "/"
// and (without the port) ":", the port the default or the number after the host's last ":", the
// path "/" or the end of the address from a "/", and for an ASCII address that begins with a
// scheme the host read right after it.

#include "fuzzCheck.h"
#include "fuzzFields.h"

#include "http/urlParts.h"
#include "text/charScan.h"
#include "text/letterCase.h"
#include "text/numbers.h"
#include "text/search.h"

#include <algorithm>

using namespace velmora;
using namespace velmora::fuzz;

namespace {

/// True when no ASCII capital starts a character (a capital that is the second byte of a
/// two-byte character is no letter).
bool isLowerCase(std::string_view text) {
    for (std::size_t o = 0; o < text.size(); o = detail::nextCharStart(text, o)) {
        if (text[o] >= 'A' && text[o] <= 'Z') {
            return false;
        }
    }
    return true;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    const std::string_view url = fields.takeField();

    const Text host = hostOf(url);
    const Text hostAndPort = hostOf(url, true);
    require(startsWith(hostAndPort, host), "the host is the start of host and port");
    require(isLowerCase(hostAndPort), "the host is lower-case");
    require(findText(hostAndPort, "/") == -1, "the host holds no \"/\"");
    require(findText(host, ":") == -1, "the host without its port holds no \":\"");

    const bool secure = isSecureAddress(url);
    require(secure == (toLowerCase(url.substr(0, 5)) == "https"),
            "secure means the address begins with https");
    const int port = portOf(url);
    const int colon = findTextReverse(hostAndPort, ":");
    if (colon == -1) {
        require(port == (secure ? 443 : 80), "without a port, 443 when secure, else 80");
    } else {
        const std::string_view portText =
            std::string_view(hostAndPort).substr(static_cast<std::size_t>(colon));
        require(port == textToInt(portText), "the port is the number after the last \":\"");
        require(port >= 0 || portText.find_first_of("-\xAD") != std::string_view::npos,
                "only a minus sign makes the port negative");
    }

    const Text path = pathOf(url);
    require(path == "/" || (startsWith(path, "/") && url.ends_with(path)),
            "the path is the end of the address");

    // Beyond ASCII a lead byte at the end of the host can take the "/" after it into its character.
    if (!isAscii(url)) {
        return 0;
    }
    const Text lowered = toLowerCase(url);
    for (const std::string_view scheme : {"https://", "http://"}) {
        if (startsWith(lowered, scheme)) {
            const std::string_view rest = std::string_view(lowered).substr(scheme.size());
            require(startsWith(rest, hostAndPort) &&
                        (rest.size() == hostAndPort.size() || rest[hostAndPort.size()] == '/'),
                    "after a scheme, the host runs to the next \"/\"");
            break;
        }
    }
    return 0;
}
