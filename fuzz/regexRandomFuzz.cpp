// RegexObject with a random pattern over a random subject: the first byte chooses the options,
// then come the pattern, the subject and a replacement text. A rejected pattern answers with
// false, 0 and "" and nothing else; an accepted one answers consistently, copies answer alike,
// and no pattern crashes the engine or runs without end.

#include "fuzzCheck.h"
#include "fuzzFields.h"
#include "matchReading.h"
#include "stableGbk.h"

#include "text/RegexObject.h"

using namespace velmora;
using namespace velmora::fuzz;

namespace {

// Enough to read every group of every match of ordinary runs while keeping a pattern of many
// groups over thousands of empty matches quick.
constexpr std::size_t kReadBudget = 20'000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    const std::uint8_t options = fields.takeByte();
    const bool caseSensitive = (options & 1) != 0;
    const bool multiline = (options & 2) != 0;
    const bool global = (options & 4) != 0;
    const bool quoteMarkers = (options & 8) != 0;
    const std::string_view pattern = fields.takeField();
    const std::string_view subject = fields.takeField();
    const std::string_view replacement = fields.takeField();

    RegexObject matcher;
    const bool accepted = matcher.execute(pattern, subject, caseSensitive, multiline, global, quoteMarkers);
    if (!accepted) {
        int position = 0;
        require(matcher.matchCount() == 0 && matcher.subMatchCount() == 0, "a rejected pattern counts 0");
        require(matcher.matchText(1, &position).empty() && position == -2, "a rejected pattern has no match");
        require(matcher.subMatchText(1, 1, &position).empty() && position == -2,
                "a rejected pattern has no group");
        require(matcher.replace(replacement).empty(), "a rejected pattern replaces nothing");
        return 0;
    }
    require(global || matcher.matchCount() <= 1, "without global there is at most one match");
    readAllMatches(matcher, subject, kReadBudget, [](int, int, const Text&, int) {});
    const Text replaced = matcher.replace(replacement);
    if (matcher.matchCount() == 0) {
        require(replaced == subject || !isStableGbk(subject), "without a match nothing is replaced");
    }

    const Text firstMatch = matcher.matchText(1);
    const RegexObject copy = matcher;
    require(copy.matchCount() == matcher.matchCount() && copy.subMatchCount() == matcher.subMatchCount(),
            "a copy counts alike");
    require(copy.matchText(1) == firstMatch && copy.replace(replacement) == replaced, "a copy answers alike");
    matcher.execute("(", subject);
    require(matcher.matchCount() == 0 && matcher.matchText(1).empty(),
            "a second execute forgets the first run");
    require(copy.matchText(1) == firstMatch, "a copy keeps its run when the original runs again");
    return 0;
}
