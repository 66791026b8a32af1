#include "xlsxReader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace velmora::test {

namespace {

std::uint32_t little(const std::string& data, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(data.at(at + i));
    }
    return value;
}

/// The members of a zip archive by name, inflated.
std::map<std::string, std::string> unzip(const std::string& archive) {
    std::map<std::string, std::string> members;
    const std::size_t end = archive.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos) {
        ADD_FAILURE() << "not a zip archive";
        return members;
    }
    std::size_t entry = little(archive, end + 16, 4);
    for (std::uint32_t n = little(archive, end + 10, 2); n > 0; --n) {
        const auto method = little(archive, entry + 10, 2);
        const auto packedSize = little(archive, entry + 20, 4);
        const auto size = little(archive, entry + 24, 4);
        const auto nameLength = little(archive, entry + 28, 2);
        const auto local = little(archive, entry + 42, 4);
        const std::string name = archive.substr(entry + 46, nameLength);
        entry += 46 + nameLength + little(archive, entry + 30, 2) + little(archive, entry + 32, 2);

        const std::size_t data = local + 30 + little(archive, local + 26, 2) + little(archive, local + 28, 2);
        std::string content(size, '\0');
        if (method == 0) {
            content = archive.substr(data, size);
        } else {
            z_stream stream{};
            EXPECT_EQ(inflateInit2(&stream, -MAX_WBITS), Z_OK);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(archive.data() + data));
            stream.avail_in = packedSize;
            stream.next_out = reinterpret_cast<Bytef*>(content.data());
            stream.avail_out = size;
            EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END) << name;
            inflateEnd(&stream);
        }
        members[name] = std::move(content);
    }
    return members;
}

/// XML entities and the _xHHHH_ escapes that OOXML strings use for control characters.
std::string unescapeXml(std::string_view text) {
    static const std::pair<std::string_view, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string plain;
    for (std::size_t at = 0; at < text.size();) {
        bool replaced = false;
        for (const auto& [entity, c] : entities) {
            if (text.substr(at, entity.size()) == entity) {
                plain += c;
                at += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced && text.substr(at, 2) == "_x" && at + 7 <= text.size() && text[at + 6] == '_') {
            plain += char(std::stoi(std::string(text.substr(at + 2, 4)), nullptr, 16));
            at += 7;
            replaced = true;
        }
        if (!replaced) {
            plain += text[at++];
        }
    }
    return plain;
}

/// The contents of every `open...>...close` element of `xml`; "" for an empty element.
std::vector<std::string_view> elements(std::string_view xml, std::string_view open, std::string_view close) {
    std::vector<std::string_view> found;
    for (std::size_t at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at)) {
        const std::size_t start = xml.find('>', at);
        if (xml[start - 1] == '/') {
            found.push_back(xml.substr(at, 0));
            at = start;
            continue;
        }
        const std::size_t stop = xml.find(close, start);
        found.push_back(xml.substr(start + 1, stop - start - 1));
        at = stop;
    }
    return found;
}

std::string attribute(std::string_view tag, std::string_view name) {
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t at = tag.find(key);
    if (at == std::string_view::npos) {
        return {};
    }
    const std::size_t start = at + key.size();
    return std::string(tag.substr(start, tag.find('"', start) - start));
}

} // namespace

std::vector<std::vector<SheetCell>> readFirstSheet(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string archive{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    auto members = unzip(archive);

    std::vector<std::string> shared;
    for (const std::string_view item : elements(members["xl/sharedStrings.xml"], "<si>", "</si>")) {
        std::string text;
        for (const std::string_view part : elements(item, "<t", "</t>")) {
            text += unescapeXml(part);
        }
        shared.push_back(std::move(text));
    }

    std::vector<std::vector<SheetCell>> rows;
    const std::string& sheet = members["xl/worksheets/sheet1.xml"];
    EXPECT_FALSE(sheet.empty()) << "no first sheet";
    for (std::size_t at = sheet.find("<c "); at != std::string::npos; at = sheet.find("<c ", at + 1)) {
        const std::string_view tag(sheet.data() + at, sheet.find('>', at) - at);
        const std::string reference = attribute(tag, "r");
        const std::size_t digits = reference.find_first_of("0123456789");
        const std::size_t column = std::size_t(reference[0] - 'A');
        const std::size_t row = std::stoul(reference.substr(digits)) - 1;
        SheetCell cell;
        if (tag.back() != '/') {
            const std::size_t value = sheet.find("<v>", at);
            const std::string text = sheet.substr(value + 3, sheet.find("</v>", value) - value - 3);
            cell.number = attribute(tag, "t").empty();
            cell.text = cell.number ? text : shared.at(std::stoul(text));
        }
        if (rows.size() <= row) {
            rows.resize(row + 1);
        }
        if (rows[row].size() <= column) {
            rows[row].resize(column + 1);
        }
        rows[row][column] = std::move(cell);
    }
    return rows;
}

} // namespace velmora::test
