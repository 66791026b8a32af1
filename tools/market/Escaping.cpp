#include "market/Escaping.h"

#include <cstdio>

namespace velmora::market {

namespace {

const char upperHex[] = "0123456789ABCDEF";
const char lowerHex[] = "0123456789abcdef";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string jsonEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '<':
        case '>':
        case '&':
        case '=':
        case '\'':
            out += "\\u00";
            out += lowerHex[byte >> 4];
            out += lowerHex[byte & 15];
            break;
        default:
            if (byte < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out;
}

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string percentEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          std::string_view("-_.!~*'()").find(c) != std::string_view::npos;
        if (keep) {
            out += c;
        } else {
            out += '%';
            out += upperHex[byte >> 4];
            out += upperHex[byte & 15];
        }
    }
    return out;
}

std::string percentDecode(std::string_view text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += (plusIsSpace && c == '+') ? ' ' : c;
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> splitQuery(std::string_view query) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string_view::npos)
            end = query.size();
        const std::string_view part = query.substr(start, end - start);
        if (!part.empty()) {
            const std::size_t equals = part.find('=');
            if (equals == std::string_view::npos)
                pairs.emplace_back(std::string(part), std::string());
            else
                pairs.emplace_back(std::string(part.substr(0, equals)), std::string(part.substr(equals + 1)));
        }
        start = end + 1;
    }
    return pairs;
}

std::string queryValue(std::string_view query, std::string_view name) {
    for (auto& [key, value] : splitQuery(query))
        if (key == name)
            return value;
    return {};
}

bool hasQueryKey(std::string_view query, std::string_view name) {
    for (auto& [key, value] : splitQuery(query))
        if (key == name)
            return true;
    return false;
}

} // namespace velmora::market
