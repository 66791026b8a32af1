// findText, findTextReverse, replaceText and splitText over random texts, checked against the
// scanning rules written out one character at a time, and splitText against joining.

#include "fuzzCheck.h"
#include "fuzzFields.h"
#include "naiveSearch.h"

#include "text/search.h"

using namespace velmora;
using namespace velmora::fuzz;

namespace {

Text joined(const TextList& pieces, std::string_view delimiter) {
    Text text;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            text.append(delimiter);
        }
        text.append(pieces[i]);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    const bool ignoreCase = (fields.takeByte() & 1) != 0;
    const int start = static_cast<std::int8_t>(fields.takeByte());
    const std::string_view text = fields.takeField();
    const std::string_view sought = fields.takeField();
    const std::string_view replacement = fields.takeField();

    const int found = findText(text, sought, start, ignoreCase);
    require(found == naiveFindText(text, sought, start, ignoreCase),
            "findText finds the first character-start match");
    if (found != -1) {
        require(found >= 1 && static_cast<std::size_t>(found) <= text.size(),
                "findText lies inside the text");
        require(sought.empty() || found >= start, "findText lies at or after the start");
        require(sameBytes(text, static_cast<std::size_t>(found) - 1, sought, ignoreCase),
                "the bytes at the position found are the sought text");
    }
    require(findText(text, sought) == naiveFindText(text, sought, 1, false), "findText with its defaults");
    require(findTextReverse(text, sought) == naiveFindTextReverse(text, sought),
            "findTextReverse finds the last character-start match");
    require(replaceText(text, sought, replacement) == naiveReplaceText(text, sought, replacement),
            "replaceText replaces every character-start match, left to right");

    const TextList pieces = splitText(text, sought);
    require(pieces == naiveSplitText(text, sought), "splitText cuts at every character-start delimiter");
    if (!sought.empty()) {
        const Text back = joined(pieces, sought);
        require(back == text || back + Text(sought) == text,
                "the pieces joined with the delimiter give the text, less a final delimiter");
        for (const Text& piece : pieces) {
            require(findText(piece, sought) == -1, "no piece holds the delimiter");
        }
    }
    return 0;
}
