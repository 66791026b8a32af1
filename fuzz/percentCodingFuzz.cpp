// urlEncode and percentDecode over random bytes: what the encoder writes, and that decoding gives
// back what was encoded.

#include "fuzzCheck.h"
#include "fuzzFields.h"

#include "text/codePages.h"
#include "text/percentDecode.h"
#include "text/search.h"
#include "text/urlEncode.h"

#include <algorithm>

using namespace velmora;
using namespace velmora::fuzz;

namespace {

bool isUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool isWrittenUnchanged(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

/// Every byte is a letter, a digit, "-", ".", "_", the space stand-in, or "%" and two upper-case
/// hexadecimal digits.
bool isEncoded(std::string_view encoded, char spaceChar) {
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '%') {
            if (encoded.size() - i < 3 || !isUpperHexDigit(encoded[i + 1]) ||
                !isUpperHexDigit(encoded[i + 2])) {
                return false;
            }
            i += 2;
        } else if (!isWrittenUnchanged(c) && c != spaceChar) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    const std::string_view text = fields.takeRest();
    const bool hasZero = text.find('\0') != std::string_view::npos;

    const Text decoded = percentDecode(text);
    require(decoded.size() <= text.size(), "percentDecode never lengthens");
    require(percentDecode(text, true) == utf8ToAnsi(decoded), "fromUtf8 converts the decoded bytes");
    if (text.find('%') == std::string_view::npos) {
        require(decoded == text, "a text without % decodes to itself");
    }

    const Text withPlus = urlEncode(text, "+");
    const Text withSpace = urlEncode(text, " ");
    require(isEncoded(withPlus, '+'), "urlEncode writes only [A-Za-z0-9-._], %XX and the space stand-in");
    require(isEncoded(withSpace, ' '), "urlEncode writes only [A-Za-z0-9-._], %XX and the space stand-in");
    const auto unchanged =
        static_cast<std::size_t>(std::count_if(text.begin(), text.end(), isWrittenUnchanged));
    const auto spaces = static_cast<std::size_t>(std::count(text.begin(), text.end(), ' '));
    require(withPlus.size() == unchanged + spaces + 3 * (text.size() - unchanged - spaces),
            "urlEncode writes one byte per kept byte and space, three per other byte");
    require(urlEncode(text, "") == replaceText(withSpace, " ", ""), "an empty space stand-in drops spaces");

    // A zero byte cannot come back: %00 decodes to nothing.
    if (!hasZero) {
        require(percentDecode(withSpace) == text, "percentDecode undoes urlEncode");
        // An encoded "+" only ever stands for a space; "+" of the text is written %2B.
        require(percentDecode(replaceText(withPlus, "+", "%20")) == text,
                "percentDecode undoes urlEncode with +");
        if (text.find('+') == std::string_view::npos) {
            Text spaced = percentDecode(withPlus);
            std::replace(spaced.begin(), spaced.end(), '+', ' ');
            require(spaced == text, "with + read as space, percentDecode undoes urlEncode");
        }
    }
    return 0;
}
