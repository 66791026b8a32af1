#pragma once

#include "fuzzCheck.h"
#include "stableGbk.h"

#include "text/RegexObject.h"

#include <cstddef>
#include <string_view>

namespace velmora::fuzz {

/// Reads every group of every match of the last execute (at most `budget` texts in all, so a
/// pattern of many groups over many matches stays quick) and checks what holds for any pattern:
/// numbers outside the run read as "", positions lie inside the subject, and over a subject that
/// survives the trip through UTF-16 each text is the subject's bytes at its position. Calls
/// `eachGroup(match, group, text, position)` for every group read.
template <typename EachGroup>
void readAllMatches(const RegexObject& matcher, std::string_view subject, std::size_t budget,
                    EachGroup eachGroup) {
    const int matches = matcher.matchCount();
    const int groups = matcher.subMatchCount();
    require(matches >= 0 && groups >= 0, "counts are never negative");
    require(matches > 0 || groups == 0, "no match, no groups");
    const bool stable = isStableGbk(subject);
    const auto holdsAt = [&](const Text& text, int position) {
        require(position >= 0 && static_cast<std::size_t>(position) <= subject.size(),
                "a position lies inside the subject");
        if (stable) {
            require(subject.compare(static_cast<std::size_t>(position), text.size(), text) == 0,
                    "a match's text is the subject's bytes at its position");
        }
    };

    int position = 0;
    require(matcher.matchText(0, &position).empty() && position == -2, "match 0 is \"\"");
    require(matcher.matchText(matches + 1, &position).empty() && position == -2,
            "a match past the last is \"\"");
    require(matcher.subMatchText(1, 0).empty(), "group 0 is \"\"");
    require(matcher.subMatchText(1, groups + 1, &position).empty() && position == -2,
            "a group past the last is \"\"");
    for (int match = 1; match <= matches && budget > 0; ++match) {
        const Text whole = matcher.matchText(match, &position);
        holdsAt(whole, position);
        --budget;
        for (int group = 1; group <= groups && budget > 0; ++group, --budget) {
            const Text text = matcher.subMatchText(match, group, &position);
            if (position == -2) {
                require(text.empty(), "a group that took no part is \"\"");
            } else {
                holdsAt(text, position);
            }
            eachGroup(match, group, text, position);
        }
    }
}

} // namespace velmora::fuzz
