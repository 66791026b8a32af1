#include "output/rowLines.h"

#include "rowReaders.h"
#include "sampleRows.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

ResultRow gbkRow(std::array<std::string, 5> utf8) {
    ResultRow row;
    for (std::size_t column = 0; column < row.size(); ++column) {
        row[column] = utf8ToAnsi(utf8[column]);
    }
    return row;
}

struct LineCase {
    const char* name;
    LineFormat format;
    std::array<std::string, 5> cells;
    std::string line;
};

class RowLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(RowLineTest, WritesTheCellsAsOneLine) {
    EXPECT_EQ(rowLine(GetParam().format, gbkRow(GetParam().cells)), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RowLineTest,
    testing::Values(
        LineCase{"CsvPlainCellsUnquotedCrLfEnd",
                 LineFormat::Csv,
                 {"1", "http://a", "连衣裙", "店", "12"},
                 "1,http://a,连衣裙,店,12\r\n"},
        LineCase{"CsvQuotesCommaQuoteAndLineBreaks",
                 LineFormat::Csv,
                 {"1", "a,b", "say \"hi\"", "x\ny", "r\rs"},
                 "1,\"a,b\",\"say \"\"hi\"\"\",\"x\ny\",\"r\rs\"\r\n"},
        LineCase{"CsvLeavesSpacesAndTabsUnquoted",
                 LineFormat::Csv,
                 {" a", "b ", "c\td", "", ""},
                 " a,b ,c\td,,\r\n"},
        LineCase{"TsvEscapesBackslashTabAndLineBreaks",
                 LineFormat::Tsv,
                 {"1", "a\\b", "c\td", "e\r\nf", "\"q\",x"},
                 "1\ta\\\\b\tc\\td\te\\r\\nf\t\"q\",x\n"},
        LineCase{"JsonLinesKeysInColumnOrder",
                 LineFormat::JsonLines,
                 {"1", "http://a", "连衣裙", "店", ""},
                 "{\"number\":\"1\",\"link\":\"http://a\",\"title\":\"连衣裙\",\"seller\":\"店\","
                 "\"monthlySales\":\"\"}\n"},
        LineCase{
            "JsonLinesEscapesQuotesBackslashesAndControls",
            LineFormat::JsonLines,
            {"\"", "\\", "a\nb\tc\r", "\x01\x1f", "/"},
            "{\"number\":\"\\\"\",\"link\":\"\\\\\",\"title\":\"a\\nb\\tc\\r\",\"seller\":\"\\u0001\\u001f\","
            "\"monthlySales\":\"/\"}\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RowLines, HeadersNameTheColumnsExceptInJsonLines) {
    EXPECT_EQ(headerLine(LineFormat::Csv), "序号,宝贝链接,宝贝名称,卖家旺旺,月销量\r\n");
    EXPECT_EQ(headerLine(LineFormat::Tsv), "序号\t宝贝链接\t宝贝名称\t卖家旺旺\t月销量\n");
    EXPECT_EQ(headerLine(LineFormat::JsonLines), "");
}

TEST(RowLines, OnlyCsvFilesBeginWithTheByteOrderMark) {
    EXPECT_EQ(fileStart(LineFormat::Csv), "\xEF\xBB\xBF");
    EXPECT_EQ(fileStart(LineFormat::Tsv), "");
    EXPECT_EQ(fileStart(LineFormat::JsonLines), "");
}

TEST(RowLines, BytePairsThatAreNoCharacterBecomeReplacementCharacters) {
    ResultRow row{"1", "\x81\x30", "", "", ""}; // a lead byte followed by a byte that cannot follow it
    EXPECT_EQ(rowLine(LineFormat::Tsv, row), "1\t\xEF\xBF\xBD"
                                             "0\t\t\t\n");
}

TEST(RowLines, EveryFormatReadsBackTheCells) {
    const auto sample = test::sampleRows();
    std::string csv = headerLine(LineFormat::Csv);
    std::string tsv = headerLine(LineFormat::Tsv);
    std::string jsonLines;
    for (const ResultRow& row : sample.rows) {
        csv += rowLine(LineFormat::Csv, row);
        tsv += rowLine(LineFormat::Tsv, row);
        jsonLines += rowLine(LineFormat::JsonLines, row);
    }
    auto withHeader = sample.utf8;
    withHeader.insert(withHeader.begin(), test::columnTitles());
    EXPECT_EQ(test::readCsv(csv), withHeader);
    EXPECT_EQ(test::readTsv(tsv), withHeader);
    EXPECT_EQ(test::readJsonLines(jsonLines, test::columnKeys()), sample.utf8);
}

} // namespace
} // namespace velmora
