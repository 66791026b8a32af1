#pragma once

#include "output/ResultRow.h"
#include "text/codePages.h"

#include <string>
#include <vector>

namespace velmora::test {

/// Rows that exercise every quoting and escaping rule, as code page 936 cells, and the UTF-8 cells
/// every format must read back.
struct SampleRows {
    std::vector<ResultRow> rows;
    std::vector<std::vector<std::string>> utf8;
};

inline SampleRows sampleRows() {
    const std::vector<std::vector<std::string>> utf8 = {
        {"1", "http://item.taobao.com/item.htm?id=1&ns=1", "连衣裙 夏季", "旺旺店", "1234"},
        {"2", "http://x/a,b", "say \"hi\", 你好", "back\\slash", ""},
        {"3", "line\r\nbreak", "tab\there", "lf\nonly", "1.2万"},
        {"4", "", "", "", "0"},
        {"5", " lead", "trail ", "\x01\x1f", "007"},
    };
    SampleRows sample{{}, utf8};
    for (const auto& cells : utf8) {
        ResultRow row;
        for (std::size_t column = 0; column < row.size(); ++column) {
            row[column] = utf8ToAnsi(cells[column]);
        }
        sample.rows.push_back(row);
    }
    return sample;
}

/// The header every text format but JSON lines begins with.
inline std::vector<std::string> columnTitles() {
    return {kColumnTitles.begin(), kColumnTitles.end()};
}

/// The JSON keys of the cells.
inline std::vector<std::string> columnKeys() {
    return {kColumnKeys.begin(), kColumnKeys.end()};
}

} // namespace velmora::test
