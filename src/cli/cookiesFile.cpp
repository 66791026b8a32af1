#include "cli/cookiesFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

namespace velmora {

namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

bool isTrue(std::string_view flag) {
    return flag.size() == 4 && (flag[0] | 0x20) == 't' && (flag[1] | 0x20) == 'r' &&
           (flag[2] | 0x20) == 'u' && (flag[3] | 0x20) == 'e';
}

/// One cookie line; the reason when it is not one.
std::variant<Cookie, std::string> parseLine(std::string_view line) {
    Cookie cookie;
    if (line.starts_with(kHttpOnlyPrefix)) {
        cookie.httpOnly = true;
        line.remove_prefix(kHttpOnlyPrefix.size());
    }
    const std::vector<std::string_view> fields = splitFields(line);
    if (fields.size() != 6 && fields.size() != 7) {
        return "expected 7 tab-separated fields, found " + std::to_string(fields.size());
    }
    std::string_view domain = fields[0];
    if (domain.starts_with('.')) {
        domain.remove_prefix(1);
    }
    if (domain.empty()) {
        return std::string("no domain");
    }
    const std::string_view expires = fields[4];
    const auto [end, error] =
        std::from_chars(expires.data(), expires.data() + expires.size(), cookie.expires);
    if (error != std::errc() || end != expires.data() + expires.size()) {
        return "the expiry \"" + std::string(expires) + "\" is not a number";
    }
    cookie.domain = Text(domain);
    cookie.includeSubdomains = isTrue(fields[1]);
    cookie.path = Text(fields[2]);
    cookie.secure = isTrue(fields[3]);
    cookie.name = Text(fields[5]);
    cookie.value = fields.size() == 7 ? Text(fields[6]) : Text();
    return cookie;
}

} // namespace

std::variant<std::vector<Cookie>, std::string> parseCookiesFile(std::string_view content) {
    std::vector<Cookie> cookies;
    int lineNumber = 0;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        ++lineNumber;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos ||
            (line.starts_with('#') && !line.starts_with(kHttpOnlyPrefix))) {
            continue;
        }
        auto parsed = parseLine(line);
        if (const std::string* reason = std::get_if<std::string>(&parsed)) {
            return "line " + std::to_string(lineNumber) + ": " + *reason;
        }
        cookies.push_back(std::move(std::get<Cookie>(parsed)));
    }
    return cookies;
}

std::optional<std::string> loadCookiesFile(const std::filesystem::path& path) {
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    std::string content;
    char buffer[1 << 14];
    for (std::size_t got = 0; file && (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        content.append(buffer, got);
    }
    if (!file || std::ferror(file.get())) {
        return "cannot read " + path.string() + ": " + std::strerror(errno);
    }
    auto parsed = parseCookiesFile(content);
    if (const std::string* error = std::get_if<std::string>(&parsed)) {
        return path.string() + ": " + *error;
    }
    for (const Cookie& cookie : std::get<std::vector<Cookie>>(parsed)) {
        CookieStore::shared().add(cookie);
    }
    return std::nullopt;
}

} // namespace velmora
