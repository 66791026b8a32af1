#define PCRE2_CODE_UNIT_WIDTH 8
#include "TestText.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <pcre2.h>
#include <type_traits>

namespace velmora::market::test {

namespace {

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct IconvClose {
    void operator()(iconv_t handle) const { iconv_close(handle); }
};

std::optional<std::string> convertStrict(const char* to, const char* from, std::string_view input) {
    std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvClose> handle(iconv_open(to, from));
    std::string out(input.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(handle.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::vector<std::vector<std::string>> matchAll(std::string_view pattern, std::string_view subject) {
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    std::unique_ptr<pcre2_code, CodeFree> code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()),
                                                             pattern.size(), PCRE2_CASELESS | PCRE2_MULTILINE,
                                                             &error, &errorOffset, nullptr));
    std::vector<std::vector<std::string>> matches;
    if (!code)
        return matches;
    std::unique_ptr<pcre2_match_data, MatchDataFree> data(
        pcre2_match_data_create_from_pattern(code.get(), nullptr));
    PCRE2_SIZE offset = 0;
    while (offset <= subject.size()) {
        const int count = pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                                      subject.size(), offset, 0, data.get(), nullptr);
        if (count <= 0)
            break;
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        std::vector<std::string> groups;
        for (int group = 1; group < count; ++group)
            groups.emplace_back(
                subject.substr(ovector[2 * group], ovector[2 * group + 1] - ovector[2 * group]));
        matches.push_back(std::move(groups));
        offset = ovector[1] > ovector[0] ? ovector[1] : ovector[0] + 1;
    }
    return matches;
}

bool isValidUtf8(std::string_view bytes) {
    return convertStrict("UTF-16LE", "UTF-8", bytes).has_value();
}

std::optional<std::string> strictGbkToUtf8(std::string_view gbk) {
    return convertStrict("UTF-8", "CP936", gbk);
}

std::string encodeKeyword(std::string_view utf8) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : convertStrict("CP936", "UTF-8", utf8).value_or("")) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '.' || c == '_')
            out += c;
        else if (c == ' ')
            out += '+';
        else
            out += {'%', hex[byte >> 4], hex[byte & 15]};
    }
    return out;
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string withoutBackslashes(std::string text) {
    std::erase(text, '\\');
    return text;
}

} // namespace velmora::market::test
