#include "http/cookieMerge.h"

#include "text/cut.h"
#include "text/search.h"
#include "text/spaces.h"
#include "text/textBetween.h"

#include <algorithm>

namespace velmora {

namespace {

Text withoutLast(const Text& text, std::size_t count) {
    return textLeft(text, static_cast<int>(text.size()) - static_cast<int>(count));
}

} // namespace

void collectSetCookie(Text& receivedCookies, std::string_view line) {
    // An empty cookie part still adds its separator, so the item count matches the line count.
    receivedCookies += trimSpaces(textBetween(line, "Set-Cookie:", ";"));
    receivedCookies += "; ";
}

void mergeCookies(Text& cookies, Text& receivedCookies) {
    cookies = removeSpaces(cookies);
    receivedCookies = removeSpaces(receivedCookies);

    TextList merged = splitText(receivedCookies, ";");
    for (const Text& old : splitText(cookies, ";")) {
        const Text name = cookieName(old);
        const bool replaced = std::any_of(merged.begin(), merged.end(),
                                          [&](const Text& item) { return cookieName(item) == name; });
        if (!replaced) {
            merged.push_back(old);
        }
    }

    Text result;
    for (const Text& item : merged) {
        if (textRight(item, 8) != "=deleted") {
            result += item;
            result += "; ";
        }
    }
    cookies = uniqueItems(withoutLast(result, 2), "; ");
}

Text cookieName(std::string_view item) {
    const int equals = findText(item, "=");
    if (equals == -1) {
        return trimSpaces(item);
    }
    return trimSpaces(textLeft(item, equals - 1));
}

Text uniqueItems(std::string_view text, std::string_view separator) {
    TextList seen;
    Text result;
    for (Text& item : splitText(text, separator)) {
        if (std::find(seen.begin(), seen.end(), item) != seen.end()) {
            continue;
        }
        result += item;
        result += separator;
        seen.push_back(std::move(item));
    }
    return withoutLast(result, separator.size());
}

} // namespace velmora
