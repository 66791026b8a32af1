#pragma once

#include "text/Text.h"

#include <memory>
#include <string_view>

namespace velmora {

/// Runs one pattern over one code page 936 text and answers for its matches by 1-based number.
/// Case-insensitive, multiline and global by default; "." never matches a line feed; \d is
/// ASCII digits only. Out-of-range numbers and rejected patterns give "" and 0.
class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    RegexObject(const RegexObject& other);
    RegexObject& operator=(const RegexObject& other);
    RegexObject(RegexObject&&) noexcept;
    RegexObject& operator=(RegexObject&&) noexcept;

    /// Compiles `pattern` and collects its matches in `subject`; false when the pattern is rejected.
    /// With `quoteMarkers` every "#引号" (kQuoteMarker) of the pattern stands for a double quote.
    bool execute(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                 bool multiline = true, bool global = true, bool quoteMarkers = false);

    /// The pattern of the last execute; "" before the first.
    Text pattern() const;

    /// The subject with the matches of the last execute replaced ($1 for group 1, and so on).
    Text replace(std::string_view replacement) const;

    /// Number of matches of the last execute.
    int matchCount() const;

    /// The whole text of a match; `position` receives its 0-based byte offset in the subject when
    /// asked for (-2 when there is no such match).
    Text matchText(int matchNumber, int* position = nullptr) const;

    /// The text of a capture group of a match; "" for a group that took no part. `position`
    /// receives the group's 0-based byte offset (-2 for no such match or group, or no part).
    Text subMatchText(int matchNumber, int groupNumber, int* position = nullptr) const;

    /// Number of capture groups, read from the first match; 0 without a match.
    int subMatchCount() const;

private:
    struct Run;
    std::shared_ptr<const Run> run_;
};

} // namespace velmora
