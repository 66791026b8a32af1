#define PCRE2_CODE_UNIT_WIDTH 8
#include "text/RegexObject.h"

#include "text/gbkCodec.h"
#include "text/quoteMarker.h"
#include "text/search.h"

#include <pcre2.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace velmora {

namespace {

// Matching runs over the UTF-8 form of the subject, so one Chinese character is one character.
// UCP stays off: \d, \s and \w keep to ASCII (\s being space, tab, CR, LF, VT and FF). LF is
// the only newline, so "." matches everything but a line feed; there is no dotall mode. The
// ECMAScript flavour: \uHHHH and \xHH escapes, [] and [^], backreferences to unset groups that
// match the empty text, and an unknown escape such as \q that stands for its letter. PCRE2's
// one-byte escape \C, which could split a character, is barred and so reads as the letter C.
// Our own conversion writes well-formed UTF-8, so PCRE2 need not check it again on every call.
constexpr std::uint32_t kCompileOptions = PCRE2_UTF | PCRE2_NO_UTF_CHECK | PCRE2_ALT_BSUX |
                                          PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF |
                                          PCRE2_NEVER_BACKSLASH_C;

// A backtracking blow-up ends the search after this many steps of the engine (some tens of
// milliseconds); the matches found before it stand. Ordinary patterns over multi-megabyte pages
// stay far below it because the count starts again with every match.
constexpr std::uint32_t kMatchLimit = 20'000'000;
// Lazy and greedy repeats of single characters, as in the collectors' patterns, take no stack;
// a repeated group takes some 40 bytes per repetition, so this stack carries a group repeated
// over about three megabytes. Running out of it ends the search like the match limit does. The
// stack is reserved per run and committed only as far as it is used.
constexpr std::size_t kJitStackStart = 64 * 1024;
constexpr std::size_t kJitStackMax = 128 * 1024 * 1024;
// Where the JIT does not take a pattern the interpreter keeps its backtracking on the heap.
constexpr std::uint32_t kHeapLimitKib = 128 * 1024;
// Compiled patterns kept per thread: the collectors run the same few patterns page after page.
constexpr std::size_t kCachedPatterns = 32;

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct CompileContextFree {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct JitStackFree {
    void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

using Code = std::unique_ptr<pcre2_code, CodeFree>;
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataFree>;

/// The compile context and the compiled patterns of one thread.
class Compiler {
public:
    Compiler() : context_(pcre2_compile_context_create(nullptr)) {
        if (context_) {
            pcre2_set_newline(context_.get(), PCRE2_NEWLINE_LF);
            pcre2_set_compile_extra_options(context_.get(), PCRE2_EXTRA_BAD_ESCAPE_IS_LITERAL);
        }
    }

    /// The compiled pattern (JIT-compiled where the JIT takes it), or null when it is rejected.
    const pcre2_code* compile(const std::string& patternUtf8, std::uint32_t options) {
        std::string key(sizeof options, '\0');
        std::memcpy(key.data(), &options, sizeof options);
        key += patternUtf8;
        if (const auto found = cache_.find(key); found != cache_.end()) {
            return found->second.get();
        }
        int error = 0;
        PCRE2_SIZE errorOffset = 0;
        Code code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(patternUtf8.data()), patternUtf8.size(), options,
                                &error, &errorOffset, context_.get()));
        if (!code) {
            return nullptr;
        }
        // Where the JIT refuses a pattern the interpreter runs it.
        pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
        if (cache_.size() >= kCachedPatterns) {
            cache_.clear();
        }
        return cache_.emplace(std::move(key), std::move(code)).first->second.get();
    }

private:
    std::unique_ptr<pcre2_compile_context, CompileContextFree> context_;
    std::unordered_map<std::string, Code> cache_;
};

Compiler& threadCompiler() {
    thread_local Compiler compiler;
    return compiler;
}

/// The limits and the JIT stack of the matches made on one thread.
class MatchLimits {
public:
    MatchLimits()
        : context_(pcre2_match_context_create(nullptr)),
          jitStack_(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr)) {
        if (context_) {
            pcre2_set_match_limit(context_.get(), kMatchLimit);
            pcre2_set_heap_limit(context_.get(), kHeapLimitKib);
            if (jitStack_) {
                pcre2_jit_stack_assign(context_.get(), nullptr, jitStack_.get());
            }
        }
    }

    /// Null when the context could not be made.
    pcre2_match_context* context() const { return context_.get(); }

private:
    std::unique_ptr<pcre2_match_context, MatchContextFree> context_;
    std::unique_ptr<pcre2_jit_stack, JitStackFree> jitStack_;
};

/// The thread's limits. Kept for the thread's life, because making a JIT stack maps (and freeing
/// it unmaps) its whole reserve, which cost more than the match itself for a small detail page.
const MatchLimits& threadLimits() {
    thread_local const MatchLimits limits;
    return limits;
}

/// The offset of the character after the one that starts at `offset`.
std::size_t nextUtf8Char(std::string_view utf8, std::size_t offset) {
    ++offset;
    while (offset < utf8.size() && (static_cast<unsigned char>(utf8[offset]) & 0xC0) == 0x80) {
        ++offset;
    }
    return offset;
}

Text toGbk(std::string_view utf8) {
    Text text;
    detail::appendUtf8AsGbk(utf8, text);
    return text;
}

} // namespace

/// The result of one execute; never changed after it, so copies of the object share it.
struct RegexObject::Run {
    Text pattern;
    bool accepted = false;
    Text subject;
    std::string subjectUtf8;
    std::size_t groupCount = 0;
    /// Per match, a start and an end offset in subjectUtf8 for the whole match and each group
    /// (PCRE2_UNSET for a group that took no part).
    std::vector<PCRE2_SIZE> offsets;

    std::size_t pairsPerMatch() const { return groupCount + 1; }
    std::size_t matchCount() const { return offsets.size() / (2 * pairsPerMatch()); }

    /// The span of group `group` (0 for the whole match) of the 0-based match `match`; false
    /// when the group took no part.
    bool span(std::size_t match, std::size_t group, std::size_t& begin, std::size_t& end) const {
        const PCRE2_SIZE* pair = &offsets[(match * pairsPerMatch() + group) * 2];
        if (pair[0] == PCRE2_UNSET) {
            return false;
        }
        begin = pair[0];
        // \K inside a lookahead can leave a match ending before it starts; it reads as empty.
        end = std::max(pair[0], pair[1]);
        return true;
    }

    /// The text of a group in code page 936, with its 0-based byte offset in the subject.
    Text text(std::size_t match, std::size_t group, int* position) const {
        std::size_t begin = 0;
        std::size_t end = 0;
        if (!span(match, group, begin, end)) {
            if (position != nullptr) {
                *position = -2;
            }
            return Text();
        }
        if (position != nullptr) {
            *position = static_cast<int>(detail::gbkOffsetOfUtf8Offset(subject, begin));
        }
        return toGbk(std::string_view(subjectUtf8).substr(begin, end - begin));
    }

    /// The text of group `groupNumber` (0 for the whole match) of the 1-based match
    /// `matchNumber`; "" and position -2 when there is no such match or group.
    static Text numbered(const Run* run, int matchNumber, int groupNumber, int* position) {
        if (run == nullptr || matchNumber < 1 || static_cast<std::size_t>(matchNumber) > run->matchCount() ||
            groupNumber < 0 || static_cast<std::size_t>(groupNumber) > run->groupCount) {
            if (position != nullptr) {
                *position = -2;
            }
            return Text();
        }
        return run->text(static_cast<std::size_t>(matchNumber) - 1, static_cast<std::size_t>(groupNumber),
                         position);
    }

    /// Appends the ECMAScript substitution of `replacement` for match `match`: $$, $&, $`, $',
    /// $1 to $99 (two digits where that group exists); any other "$" stands for itself.
    void substitute(std::string& out, std::string_view replacement, std::size_t match) const {
        const std::string_view whole(subjectUtf8);
        std::size_t matchBegin = 0;
        std::size_t matchEnd = 0;
        span(match, 0, matchBegin, matchEnd);
        const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
        for (std::size_t i = 0; i < replacement.size(); ++i) {
            const char c = replacement[i];
            if (c != '$' || i + 1 == replacement.size()) {
                out.push_back(c);
                continue;
            }
            const char next = replacement[i + 1];
            if (next == '$') {
                out.push_back('$');
                ++i;
            } else if (next == '&') {
                out.append(whole.substr(matchBegin, matchEnd - matchBegin));
                ++i;
            } else if (next == '`') {
                out.append(whole.substr(0, matchBegin));
                ++i;
            } else if (next == '\'') {
                out.append(whole.substr(matchEnd));
                ++i;
            } else if (isDigit(next)) {
                std::size_t group = static_cast<std::size_t>(next - '0');
                std::size_t digits = 1;
                if (i + 2 < replacement.size() && isDigit(replacement[i + 2])) {
                    const std::size_t twoDigits =
                        group * 10 + static_cast<std::size_t>(replacement[i + 2] - '0');
                    if (twoDigits >= 1 && twoDigits <= groupCount) {
                        group = twoDigits;
                        digits = 2;
                    }
                }
                if (group < 1 || group > groupCount) {
                    out.push_back(c);
                    continue;
                }
                std::size_t begin = 0;
                std::size_t end = 0;
                if (span(match, group, begin, end)) {
                    out.append(whole.substr(begin, end - begin));
                }
                i += digits;
            } else {
                out.push_back(c);
            }
        }
    }
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(const RegexObject& other) = default;
RegexObject& RegexObject::operator=(const RegexObject& other) = default;
RegexObject::RegexObject(RegexObject&&) noexcept = default;
RegexObject& RegexObject::operator=(RegexObject&&) noexcept = default;

bool RegexObject::execute(std::string_view pattern, std::string_view subject, bool caseSensitive,
                          bool multiline, bool global, bool quoteMarkers) {
    auto run = std::make_shared<Run>();
    run->pattern = quoteMarkers ? replaceText(pattern, kQuoteMarker, "\"") : Text(pattern);
    std::string patternUtf8;
    detail::appendGbkAsUtf8(run->pattern, patternUtf8);
    const std::uint32_t options = kCompileOptions | (caseSensitive ? 0 : PCRE2_CASELESS) |
                                  (multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY);
    const pcre2_code* code = threadCompiler().compile(patternUtf8, options);
    const MatchLimits& limits = threadLimits();
    const MatchData data(code != nullptr ? pcre2_match_data_create_from_pattern(code, nullptr) : nullptr);
    // A rejected pattern, or no memory for the engine: no match collection.
    if (!data || limits.context() == nullptr) {
        run_ = std::move(run);
        return false;
    }
    run->accepted = true;
    run->subject = Text(subject);
    detail::appendGbkAsUtf8(subject, run->subjectUtf8);
    std::uint32_t captureCount = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &captureCount);
    run->groupCount = captureCount;

    const std::string_view text(run->subjectUtf8);
    const auto* bytes = reinterpret_cast<PCRE2_SPTR>(text.data());
    const std::size_t pairs = run->pairsPerMatch();
    for (std::size_t start = 0; start <= text.size();) {
        const int found =
            pcre2_match(code, bytes, text.size(), start, PCRE2_NO_UTF_CHECK, data.get(), limits.context());
        // No further match, or a limit reached: the matches found so far stand.
        if (found < 0) {
            break;
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        run->offsets.insert(run->offsets.end(), ovector, ovector + 2 * pairs);
        if (!global) {
            break;
        }
        // As in ECMAScript, the next search starts where the match ended, one character
        // further after an empty match.
        std::size_t next = ovector[1];
        if (next <= ovector[0] || next <= start) {
            next = std::max<std::size_t>(next, start);
            if (next >= text.size()) {
                break;
            }
            next = nextUtf8Char(text, next);
        }
        start = next;
    }
    run_ = std::move(run);
    return true;
}

Text RegexObject::pattern() const {
    return run_ ? run_->pattern : Text();
}

Text RegexObject::replace(std::string_view replacement) const {
    if (!run_ || !run_->accepted) {
        return Text();
    }
    std::string replacementUtf8;
    detail::appendGbkAsUtf8(replacement, replacementUtf8);
    const std::string_view whole(run_->subjectUtf8);
    std::string result;
    result.reserve(whole.size());
    std::size_t done = 0;
    for (std::size_t match = 0; match < run_->matchCount(); ++match) {
        std::size_t begin = 0;
        std::size_t end = 0;
        run_->span(match, 0, begin, end);
        result.append(whole.substr(done, begin - done));
        run_->substitute(result, replacementUtf8, match);
        done = end;
    }
    result.append(whole.substr(done));
    return toGbk(result);
}

int RegexObject::matchCount() const {
    return run_ ? static_cast<int>(run_->matchCount()) : 0;
}

Text RegexObject::matchText(int matchNumber, int* position) const {
    return Run::numbered(run_.get(), matchNumber, 0, position);
}

Text RegexObject::subMatchText(int matchNumber, int groupNumber, int* position) const {
    if (groupNumber < 1) {
        return Run::numbered(nullptr, 0, 0, position);
    }
    return Run::numbered(run_.get(), matchNumber, groupNumber, position);
}

int RegexObject::subMatchCount() const {
    return run_ && run_->matchCount() > 0 ? static_cast<int>(run_->groupCount) : 0;
}

} // namespace velmora
