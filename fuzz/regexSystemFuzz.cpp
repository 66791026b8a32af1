// The patterns the collectors run, each over a random page text with the default options, with
// every group of every match read. Beyond the rules of any run: the patterns are accepted, they
// have the groups they are written with, matches follow one another without overlap, each group
// lies inside its match, digit groups hold only ASCII digits and lazy dot groups never cross a
// line feed.

#include "fuzzCheck.h"
#include "fuzzFields.h"
#include "matchReading.h"
#include "stableGbk.h"

#include "text/RegexObject.h"

#include <algorithm>
#include <array>
#include <limits>

using namespace velmora;
using namespace velmora::fuzz;

namespace {

struct SystemPattern {
    std::string_view pattern;
    int groups;
};

// The listings of the keyword search, the sales figure of the item page, the shop id, the
// seller's handle, the shop's search address, both forms of a shop's item list with its sales,
// and the item id of a link.
constexpr std::array<SystemPattern, 9> kPatterns{{
    {R"re("nid":"(\d+)".*?raw_title":"(.*?)".*?,"detail_url":"(.*?)".*?user_id":"(.*?)","nick":"(.*?)")re",
     5},
    {R"re(totalSoldQuantity\D+(\d+))re", 1},
    {R"re(shopId=(\d+))re", 1},
    {R"re(data-nick="(.*?)")re", 1},
    {R"re(<input id="J_ShopAsynSearchURL" type="hidden" value="(.*?)")re", 1},
    {R"re(class="item-name" href="(.*?)" target="_blank">(.*?)</a>  )re", 2},
    {R"re(class="item-name".*?href="(.*?)" target="_blank">(.*?)</a>\s+<div class="attribute">)re", 2},
    {R"re(sale-num\D+(\d+))re", 1},
    {R"re(id=(\d+))re", 1},
}};

/// True when group `group` of the pattern is a digit group "(\d+)"; the others are "(.*?)".
bool isDigitGroup(std::string_view pattern, int group) {
    std::size_t at = 0;
    for (int k = 0; k < group; ++k) {
        at = pattern.find('(', at) + 1;
    }
    return pattern.substr(at, 4) == "\\d+)";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields fields(data, size);
    const std::string_view subject = fields.takeField();
    const bool stable = isStableGbk(subject);

    RegexObject matcher;
    for (const SystemPattern& system : kPatterns) {
        require(matcher.execute(system.pattern, subject), "the system's patterns are accepted");
        require(matcher.pattern() == system.pattern, "pattern() gives the pattern run");
        require(matcher.matchCount() == 0 || matcher.subMatchCount() == system.groups,
                "a match has the pattern's groups");

        int previousEnd = 0;
        int matchStart = 0;
        int matchEnd = 0;
        readAllMatches(
            matcher, subject, std::numeric_limits<std::size_t>::max(),
            [&](int match, int group, const Text& text, int position) {
                if (group == 1) {
                    const Text whole = matcher.matchText(match, &matchStart);
                    matchEnd = matchStart + static_cast<int>(whole.size());
                    if (stable) {
                        require(matchStart >= previousEnd, "matches do not overlap");
                    }
                    previousEnd = matchEnd;
                }
                require(position >= 0, "every group of these patterns takes part");
                if (stable) {
                    require(position >= matchStart && position + static_cast<int>(text.size()) <= matchEnd,
                            "a group lies inside its match");
                }
                if (isDigitGroup(system.pattern, group)) {
                    require(!text.empty() && std::all_of(text.begin(), text.end(),
                                                         [](char c) { return c >= '0' && c <= '9'; }),
                            "a digit group holds ASCII digits");
                } else {
                    require(text.find('\n') == Text::npos, "a lazy dot group stays on its line");
                }
            });
    }
    return 0;
}
