// decodeEscapes over random text: it never fails loudly, and over clean code page 936 it never
// lengthens the text and gives back a text without escapes as it is, apostrophes and CR LF
// pairs included.

#include "fuzzCheck.h"
#include "fuzzFields.h"
#include "stableGbk.h"

#include "text/decodeEscapes.h"

using namespace velmora;
using namespace velmora::fuzz;

namespace {

/// True when nothing in the text is read as an escape or a stand-in, and every line break is a
/// CR LF pair. Apostrophes may stand anywhere.
bool hasNothingToDecode(std::string_view text) {
    if (text.find_first_of("\\%") != std::string_view::npos || text.find("{$}") != std::string_view::npos ||
        text.find("\xA1\xAF") != std::string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pairStart = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        const bool pairEnd = text[i] == '\n' && i > 0 && text[i - 1] == '\r';
        if ((text[i] == '\r' && !pairStart) || (text[i] == '\n' && !pairEnd)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    const std::string_view text = fields.takeField();

    const Text decoded = decodeEscapes(text);
    require(decoded.find('\0') == Text::npos, "a decoded zero character is dropped");
    // Only for clean code page 936: where a byte above 0x7F has no valid second byte, the
    // character-wise replacements and the code page pair the bytes differently, so the stand-in
    // of an apostrophe can be cut in two.
    if (isStableGbk(text)) {
        // Every escape is longer than what it stands for.
        require(decoded.size() <= text.size(), "decodeEscapes never lengthens");
        if (hasNothingToDecode(text)) {
            require(decoded == text, "a text without escapes decodes to itself");
        }
    }
    return 0;
}
