#include "text/search.h"

#include "text/charScan.h"

#include <algorithm>

namespace velmora {

namespace detail {

std::size_t findAtCharStart(std::string_view text, std::string_view sought, std::size_t from) {
    std::size_t boundary = from;
    for (;;) {
        // The byte search is fast; the walk from the last character start to the hit only has
        // to tell whether the hit is itself a character start or the second byte of one.
        const std::size_t hit = text.find(sought, boundary);
        if (hit == std::string_view::npos) {
            return hit;
        }
        boundary = walkToCharStart(text, boundary, hit);
        if (boundary == hit) {
            return hit;
        }
    }
}

} // namespace detail

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool isAsciiLetter(char c) {
    return asciiLower(c) >= 'a' && asciiLower(c) <= 'z';
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

/// findAtCharStart with ASCII letters compared regardless of case.
std::size_t findIgnoringCase(std::string_view text, std::string_view sought, std::size_t from) {
    const auto anchorAt = std::find_if_not(sought.begin(), sought.end(), isAsciiLetter);
    if (anchorAt == sought.end()) {
        for (std::size_t o = from; o < text.size() && text.size() - o >= sought.size();
             o = detail::nextCharStart(text, o)) {
            if (equalIgnoringAsciiCase(text.substr(o, sought.size()), sought)) {
                return o;
            }
        }
        return std::string_view::npos;
    }
    // Markers nearly always hold a byte that is no letter (a quote, a colon): a fast byte search
    // for it finds the candidates, which are then checked as findAtCharStart does.
    const auto anchor = static_cast<std::size_t>(anchorAt - sought.begin());
    std::size_t boundary = from;
    for (std::size_t searchFrom = from + anchor;;) {
        const std::size_t hit = text.find(*anchorAt, searchFrom);
        if (hit == std::string_view::npos || text.size() - (hit - anchor) < sought.size()) {
            return std::string_view::npos;
        }
        const std::size_t candidate = hit - anchor;
        boundary = detail::walkToCharStart(text, boundary, candidate);
        if (boundary == candidate && equalIgnoringAsciiCase(text.substr(candidate, sought.size()), sought)) {
            return candidate;
        }
        searchFrom = hit + 1;
    }
}

int toPosition(std::size_t offset) {
    return offset == std::string_view::npos ? -1 : static_cast<int>(offset) + 1;
}

} // namespace

int findText(std::string_view text, std::string_view sought, int start, bool ignoreCase) {
    const std::size_t from = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    if (sought.empty()) {
        return from < text.size() ? 1 : -1;
    }
    if (from >= text.size()) {
        return -1;
    }
    if (ignoreCase && std::any_of(sought.begin(), sought.end(), isAsciiLetter)) {
        return toPosition(findIgnoringCase(text, sought, from));
    }
    return toPosition(detail::findAtCharStart(text, sought, from));
}

int findTextReverse(std::string_view text, std::string_view sought) {
    if (sought.empty()) {
        return -1;
    }
    std::size_t last = std::string_view::npos;
    for (std::size_t hit = detail::findAtCharStart(text, sought, 0); hit != std::string_view::npos;
         hit = detail::findAtCharStart(text, sought, detail::nextCharStart(text, hit))) {
        last = hit;
    }
    return toPosition(last);
}

Text replaceText(std::string_view text, std::string_view sought, std::string_view replacement) {
    if (text.empty() || sought.empty()) {
        return Text(text);
    }
    Text result;
    std::size_t done = 0;
    for (std::size_t hit = detail::findAtCharStart(text, sought, 0); hit != std::string_view::npos;
         hit = detail::findAtCharStart(text, sought, done)) {
        if (result.empty()) {
            result.reserve(text.size());
        }
        result.append(text.substr(done, hit - done)).append(replacement);
        done = hit + sought.size();
    }
    if (done == 0) {
        return Text(text);
    }
    result.append(text.substr(done));
    return result;
}

TextList splitText(std::string_view text, std::string_view delimiter) {
    TextList pieces;
    if (text.empty()) {
        return pieces;
    }
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t done = 0;
    for (std::size_t hit = detail::findAtCharStart(text, delimiter, 0); hit != std::string_view::npos;
         hit = detail::findAtCharStart(text, delimiter, done)) {
        pieces.emplace_back(text.substr(done, hit - done));
        done = hit + delimiter.size();
    }
    if (done < text.size()) {
        pieces.emplace_back(text.substr(done));
    }
    return pieces;
}

} // namespace velmora
