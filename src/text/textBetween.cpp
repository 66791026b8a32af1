#include "text/textBetween.h"

#include "text/cut.h"
#include "text/quoteMarker.h"
#include "text/search.h"

namespace velmora {

Text textBetween(std::string_view text, std::string_view leftMarker, std::string_view rightMarker, int start,
                 bool caseSensitive) {
    const Text left = replaceText(leftMarker, kQuoteMarker, "\"");
    const Text right = replaceText(rightMarker, kQuoteMarker, "\"");
    const int leftPosition = findText(text, left, start, !caseSensitive);
    if (leftPosition == -1) {
        return Text();
    }
    const int begin = leftPosition + static_cast<int>(left.size());
    const int end = findText(text, right, begin, !caseSensitive);
    if (end == -1) {
        return Text();
    }
    return textMid(text, begin, end - begin);
}

} // namespace velmora
