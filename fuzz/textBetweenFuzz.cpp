// textBetween over a random text and random markers, checked against the rule it is built from:
// the first left marker at or after the start, then the first right marker after it, both found
// character by character.

#include "fuzzCheck.h"
#include "fuzzFields.h"
#include "naiveSearch.h"

#include "text/cut.h"
#include "text/quoteMarker.h"
#include "text/textBetween.h"

using namespace velmora;
using namespace velmora::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    const bool caseSensitive = (fields.takeByte() & 1) != 0;
    const int start = static_cast<std::int8_t>(fields.takeByte());
    const std::string_view text = fields.takeField();
    const std::string_view leftMarker = fields.takeField();
    const std::string_view rightMarker = fields.takeField();

    const Text between = textBetween(text, leftMarker, rightMarker, start, caseSensitive);
    const Text defaults = textBetween(text, leftMarker, rightMarker);

    const Text left = naiveReplaceText(leftMarker, kQuoteMarker, "\"");
    const Text right = naiveReplaceText(rightMarker, kQuoteMarker, "\"");
    const auto expected = [&](int from, bool ignoreCase) {
        const int leftAt = naiveFindText(text, left, from, ignoreCase);
        if (leftAt == -1) {
            return Text();
        }
        const int begin = leftAt + static_cast<int>(left.size());
        const int end = naiveFindText(text, right, begin, ignoreCase);
        return end == -1 ? Text() : textMid(text, begin, end - begin);
    };
    require(between == expected(start, !caseSensitive),
            "textBetween takes the first left and the next right marker");
    require(defaults == expected(1, true), "textBetween defaults to the whole text, letter case ignored");
    require(right.empty() ? between.empty() : true, "an empty right marker gives \"\"");
    if (!between.empty()) {
        require(text.find(between) != std::string_view::npos, "the part between is a part of the text");
    }
    return 0;
}
