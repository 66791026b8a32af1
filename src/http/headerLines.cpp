#include "http/headerLines.h"

#include "text/cut.h"
#include "text/search.h"
#include "text/spaces.h"

namespace velmora {

Text headerName(std::string_view line) {
    const int colon = findText(line, ":");
    if (colon == -1) {
        return "";
    }
    return trimSpaces(textLeft(line, colon - 1));
}

Text headerValue(std::string_view line) {
    const int colon = findText(line, ":");
    if (colon == -1) {
        return "";
    }
    // Only the first colon splits: an absolute address in a Location value keeps its scheme's.
    return trimSpaces(textMid(line, colon + 1, static_cast<int>(line.size())));
}

} // namespace velmora
