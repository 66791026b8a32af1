#include "rowReaders.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace velmora::test {

Records readCsv(std::string_view text) {
    Records records;
    std::vector<std::string> record;
    std::string cell;
    std::size_t at = 0;
    while (at < text.size()) {
        const bool quoted = text[at] == '"';
        if (quoted) {
            ++at;
            for (;;) {
                if (at >= text.size()) {
                    ADD_FAILURE() << "unclosed quote";
                    return records;
                }
                if (text[at] == '"') {
                    if (at + 1 < text.size() && text[at + 1] == '"') {
                        cell += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                cell += text[at++];
            }
        }
        if (at < text.size() && text[at] == ',') {
            record.push_back(std::move(cell));
            cell.clear();
            ++at;
        } else if (text.substr(at, 2) == "\r\n") {
            record.push_back(std::move(cell));
            cell.clear();
            records.push_back(std::move(record));
            record.clear();
            at += 2;
        } else if (at < text.size()) {
            if (quoted || text[at] == '"' || text[at] == '\r' || text[at] == '\n') {
                ADD_FAILURE() << "unquoted special character at " << at;
                return records;
            }
            cell += text[at++];
        }
    }
    EXPECT_TRUE(record.empty() && cell.empty()) << "last line without CR LF";
    return records;
}

Records readTsv(std::string_view text) {
    Records records;
    std::vector<std::string> record;
    std::string cell;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '\\' && at + 1 < text.size()) {
            const char escaped = text[++at];
            cell += escaped == 't' ? '\t' : escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped;
        } else if (c == '\t') {
            record.push_back(std::move(cell));
            cell.clear();
        } else if (c == '\n') {
            record.push_back(std::move(cell));
            cell.clear();
            records.push_back(std::move(record));
            record.clear();
        } else {
            EXPECT_NE(c, '\r') << "raw carriage return";
            cell += c;
        }
    }
    EXPECT_TRUE(record.empty() && cell.empty()) << "last line without LF";
    return records;
}

namespace {

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | code >> 6);
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

/// A JSON string starting at text[at] == '"'; moves `at` past it.
std::string readJsonString(std::string_view text, std::size_t& at) {
    std::string value;
    EXPECT_EQ(text[at], '"');
    for (++at; at < text.size() && text[at] != '"'; ++at) {
        const char c = text[at];
        EXPECT_GE(static_cast<unsigned char>(c), 0x20) << "raw control character in a JSON string";
        if (c != '\\') {
            value += c;
            continue;
        }
        switch (const char escaped = text[++at]) {
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case 't':
            value += '\t';
            break;
        case 'b':
            value += '\b';
            break;
        case 'f':
            value += '\f';
            break;
        case 'u':
            appendUtf8(value,
                       unsigned(std::strtoul(std::string(text.substr(at + 1, 4)).c_str(), nullptr, 16)));
            at += 4;
            break;
        default:
            value += escaped;
        }
    }
    ++at;
    return value;
}

} // namespace

Records readJsonLines(std::string_view text, const std::vector<std::string>& keys) {
    Records records;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            ADD_FAILURE() << "last line without LF";
            break;
        }
        const std::string_view line = text.substr(0, end);
        std::vector<std::string> record;
        EXPECT_EQ(line[at], '{');
        ++at;
        for (const std::string& key : keys) {
            EXPECT_EQ(readJsonString(line, at), key);
            EXPECT_EQ(line[at], ':');
            ++at;
            record.push_back(readJsonString(line, at));
            EXPECT_EQ(line[at], key == keys.back() ? '}' : ',');
            ++at;
        }
        EXPECT_EQ(at, end) << "trailing text in " << line.substr(0, at);
        records.push_back(std::move(record));
        at = end + 1;
    }
    return records;
}

} // namespace velmora::test
