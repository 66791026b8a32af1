// Cookie collecting and merging over random header lines: the first line is the caller's cookie
// text, every later line that holds "Set-Cookie" is collected as a response header line. Beyond
// never failing: the received cookies lose their spaces, and for ASCII text (where no byte pair
// can join across a separator) the merged items are unique, never deletions, taken from the
// received or the old items, received first, with every old name that was received replaced.

#include "fuzzCheck.h"
#include "fuzzFields.h"

#include "http/cookieMerge.h"
#include "text/search.h"
#include "text/spaces.h"

#include <algorithm>

using namespace velmora;
using namespace velmora::fuzz;

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool contains(const TextList& list, const Text& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

bool isDeletion(const Text& item) {
    return item.size() >= 8 && item.compare(item.size() - 8, 8, "=deleted") == 0;
}

void checkMerged(const Text& merged, const Text& oldCookies, const Text& received) {
    const TextList items = splitText(merged, "; ");
    const TextList oldItems = splitText(oldCookies, ";");
    const TextList receivedItems = splitText(received, ";");
    TextList receivedNames;
    for (const Text& item : receivedItems) {
        receivedNames.push_back(cookieName(item));
    }
    bool pastReceived = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Text& item = items[i];
        require(std::find(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(i), item) ==
                    items.begin() + static_cast<std::ptrdiff_t>(i),
                "merged items are unique");
        require(!isDeletion(item), "deletions are dropped");
        if (contains(receivedItems, item)) {
            require(!pastReceived, "received items come first");
        } else {
            pastReceived = true;
            require(contains(oldItems, item), "a merged item is a received or an old one");
            require(!contains(receivedNames, cookieName(item)), "a received name replaces the old item");
        }
    }
    for (const Text& item : receivedItems) {
        require(item.empty() || isDeletion(item) || contains(items, item), "every received item is kept");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    Text cookies(fields.takeField('\n'));
    Text received;
    while (!fields.empty()) {
        const std::string_view line = fields.takeField('\n');
        if (findText(line, "Set-Cookie") == -1) {
            continue;
        }
        const std::size_t before = received.size();
        collectSetCookie(received, line);
        require(received.size() >= before + 2 && received.compare(received.size() - 2, 2, "; ") == 0,
                "collectSetCookie appends an item and \"; \"");
    }
    received = received.substr(0, received.size() >= 2 ? received.size() - 2 : 0);

    const bool ascii = isAscii(cookies) && isAscii(received);
    const Text oldCookies = removeSpaces(cookies);
    const Text receivedWithoutSpaces = removeSpaces(received);
    mergeCookies(cookies, received);
    require(received == receivedWithoutSpaces, "mergeCookies removes the spaces of the received cookies");
    if (ascii) {
        checkMerged(cookies, oldCookies, received);
    }
    return 0;
}
