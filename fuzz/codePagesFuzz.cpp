// utf8ToAnsi and the wide-string conversions over random bytes: the direct conversion agrees
// with the one through UTF-16, its result is clean code page 936, and clean text survives the
// round trip through UTF-8.

#include "fuzzCheck.h"
#include "fuzzFields.h"
#include "stableGbk.h"

#include "text/codePages.h"

#include <algorithm>

using namespace velmora;
using namespace velmora::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    const std::string_view text = fields.takeRest();

    const Text ansi = utf8ToAnsi(text);
    // A character of one to four UTF-8 bytes becomes at most two bytes, an ill-formed run one "?".
    require(ansi.size() <= text.size(), "utf8ToAnsi never lengthens");
    require(ansi == wideToText(textToWide(text, kCodePageUtf8), kCodePageGbk),
            "utf8ToAnsi equals the conversion through UTF-16");
    require(wideToText(textToWide(text), kCodePageAnsi) == ansi, "the default code pages are UTF-8 and 936");
    require(isStableGbk(ansi), "utf8ToAnsi writes only whole, assigned characters");
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        require(ansi == text, "ASCII is its own code page 936 form");
    }

    if (isStableGbk(text)) {
        const Text utf8 = wideToText(textToWide(text, kCodePageGbk), kCodePageUtf8);
        require(utf8ToAnsi(utf8) == text, "code page 936 text comes back from UTF-8");
        require(textToWide(utf8, kCodePageUtf8) == textToWide(text, kCodePageGbk),
                "both readings give one text");
    }
    require(textToWide(text, 1252).empty() && wideToText(u"x", 1252).empty(), "other code pages give \"\"");
    return 0;
}
