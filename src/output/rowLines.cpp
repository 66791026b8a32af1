#include "output/rowLines.h"

#include "output/utf8Text.h"

#include <cstdio>

namespace velmora {

namespace {

void appendCsvCell(std::string& line, std::string_view cell) {
    if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
        line += cell;
        return;
    }
    line += '"';
    for (const char c : cell) {
        if (c == '"') {
            line += '"';
        }
        line += c;
    }
    line += '"';
}

void appendTsvCell(std::string& line, std::string_view cell) {
    for (const char c : cell) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

void appendJsonString(std::string& line, std::string_view text) {
    line += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            line += "\\\"";
            break;
        case '\\':
            line += "\\\\";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        case '\t':
            line += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[7];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                line += escaped;
            } else {
                line += c;
            }
        }
    }
    line += '"';
}

template <typename Cells, typename AppendCell>
std::string joinCells(const Cells& cells, char separator, std::string_view lineEnd, AppendCell appendCell) {
    std::string line;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (column > 0) {
            line += separator;
        }
        appendCell(line, cells[column]);
    }
    line += lineEnd;
    return line;
}

} // namespace

std::string_view fileStart(LineFormat format) {
    return format == LineFormat::Csv ? kUtf8ByteOrderMark : std::string_view();
}

std::string headerLine(LineFormat format) {
    switch (format) {
    case LineFormat::Csv:
        return joinCells(kColumnTitles, ',', "\r\n", appendCsvCell);
    case LineFormat::Tsv:
        return joinCells(kColumnTitles, '\t', "\n", appendTsvCell);
    case LineFormat::JsonLines:
        break;
    }
    return {};
}

std::string rowLine(LineFormat format, const ResultRow& row) {
    std::array<std::string, 5> cells;
    for (std::size_t column = 0; column < row.size(); ++column) {
        cells[column] = utf8FromText(row[column]);
    }
    switch (format) {
    case LineFormat::Csv:
        return joinCells(cells, ',', "\r\n", appendCsvCell);
    case LineFormat::Tsv:
        return joinCells(cells, '\t', "\n", appendTsvCell);
    case LineFormat::JsonLines: {
        std::string line = "{";
        for (std::size_t column = 0; column < cells.size(); ++column) {
            if (column > 0) {
                line += ',';
            }
            appendJsonString(line, kColumnKeys[column]);
            line += ':';
            appendJsonString(line, cells[column]);
        }
        line += "}\n";
        return line;
    }
    }
    return {};
}

} // namespace velmora
