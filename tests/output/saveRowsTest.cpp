#include "output/saveRows.h"

#include "output/rowLines.h"
#include "rowReaders.h"
#include "sampleRows.h"
#include "tempDirectory.h"
#include "xlsxReader.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::vector<std::vector<std::string>> withHeader(std::vector<std::vector<std::string>> rows) {
    rows.insert(rows.begin(), test::columnTitles());
    return rows;
}

/// Only the saved file itself is left in the directory: no temporary file stays behind.
void expectOnlyFile(const fs::path& directory, const fs::path& file) {
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(directory)) {
        entries.push_back(entry.path());
    }
    EXPECT_EQ(entries, std::vector<fs::path>{file});
}

class SaveRowsTest : public testing::Test {
protected:
    test::TempDirectory directory;
    test::SampleRows sample = test::sampleRows();
};

TEST_F(SaveRowsTest, CsvFileBeginsWithTheByteOrderMarkAndReadsBack) {
    const fs::path path = directory.path() / "rows.csv";
    ASSERT_EQ(saveRows(path, FileFormat::Csv, sample.rows), std::nullopt);
    const std::string content = test::readFile(path);
    ASSERT_EQ(content.substr(0, 3), kUtf8ByteOrderMark);
    EXPECT_EQ(test::readCsv(std::string_view(content).substr(3)), withHeader(sample.utf8));
    expectOnlyFile(directory.path(), path);
}

TEST_F(SaveRowsTest, TsvFileReadsBack) {
    const fs::path path = directory.path() / "rows.txt";
    ASSERT_EQ(saveRows(path, FileFormat::Tsv, sample.rows), std::nullopt);
    EXPECT_EQ(test::readTsv(test::readFile(path)), withHeader(sample.utf8));
}

TEST_F(SaveRowsTest, JsonLinesFileReadsBack) {
    const fs::path path = directory.path() / "rows.jsonl";
    ASSERT_EQ(saveRows(path, FileFormat::JsonLines, sample.rows), std::nullopt);
    EXPECT_EQ(test::readJsonLines(test::readFile(path), test::columnKeys()), sample.utf8);
}

TEST_F(SaveRowsTest, XlsxWorkbookReadsBackWithCountsAsNumbers) {
    const fs::path path = directory.path() / "rows.xlsx";
    ASSERT_EQ(saveRows(path, FileFormat::Xlsx, sample.rows), std::nullopt);
    const auto sheet = test::readFirstSheet(path);
    const auto expected = withHeader(sample.utf8);
    ASSERT_EQ(sheet.size(), expected.size());
    for (std::size_t row = 0; row < expected.size(); ++row) {
        for (std::size_t column = 0; column < expected[row].size(); ++column) {
            const test::SheetCell cell = column < sheet[row].size() ? sheet[row][column] : test::SheetCell{};
            EXPECT_EQ(cell.text, expected[row][column]) << "row " << row << " column " << column;
            // Whole numbers of the count columns are numbers; "007", "1.2万" and everything else strings.
            const bool countColumn = column == 0 || column == 4;
            const std::string& text = expected[row][column];
            const bool plainNumber = row > 0 && countColumn && !text.empty() &&
                                     text.find_first_not_of("0123456789") == std::string::npos &&
                                     (text == "0" || text[0] != '0');
            EXPECT_EQ(cell.number, plainNumber) << "row " << row << " column " << column;
        }
    }
}

TEST_F(SaveRowsTest, EmptyTableGivesTheHeaderAlone) {
    const fs::path path = directory.path() / "empty.csv";
    ASSERT_EQ(saveRows(path, FileFormat::Csv, {}), std::nullopt);
    EXPECT_EQ(test::readFile(path), std::string(kUtf8ByteOrderMark) + headerLine(LineFormat::Csv));
}

TEST_F(SaveRowsTest, SavingAgainReplacesTheWholeFile) {
    const fs::path path = directory.path() / "rows.tsv";
    test::writeFile(path, std::string(100000, 'x'));
    ASSERT_EQ(saveRows(path, FileFormat::Tsv, {}), std::nullopt);
    EXPECT_EQ(test::readFile(path), headerLine(LineFormat::Tsv));
    expectOnlyFile(directory.path(), path);
}

struct FailureCase {
    const char* name;
    fs::path target;     ///< relative to the test's directory
    std::string because; ///< the error text ends with this
};

class SaveRowsFailureTest : public SaveRowsTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(SaveRowsFailureTest, ReportsTheErrorAndLeavesEverythingAsItWas) {
    fs::create_directory(directory.path() / "a-directory");
    test::writeFile(directory.path() / "a-directory" / "inside", "kept");
    test::writeFile(directory.path() / "a-file", "old content");
    const fs::path target = directory.path() / GetParam().target;

    for (const FileFormat format : {FileFormat::Csv, FileFormat::Xlsx}) {
        const WriteError error = saveRows(target, format, sample.rows);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->rfind("cannot ", 0), 0u) << *error;
        EXPECT_NE(error->find(target.string()), std::string::npos) << *error;
        EXPECT_TRUE(error->ends_with(GetParam().because)) << *error;
    }
    EXPECT_EQ(test::readFile(directory.path() / "a-file"), "old content");
    EXPECT_EQ(test::readFile(directory.path() / "a-directory" / "inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(directory.path()), fs::directory_iterator()), 2);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(directory.path() / "a-directory"), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Paths, SaveRowsFailureTest,
                         testing::Values(FailureCase{"DirectoryDoesNotExist", "missing/rows.csv",
                                                     "No such file or directory"},
                                         FailureCase{"ParentIsAFile", "a-file/rows.csv", "Not a directory"},
                                         FailureCase{"TargetIsADirectory", "a-directory", "Is a directory"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveRowsTest, ReadOnlyDirectoryKeepsTheOldFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only directories";
    }
    const fs::path path = directory.path() / "rows.csv";
    test::writeFile(path, "old content");
    fs::permissions(directory.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const WriteError error = saveRows(path, FileFormat::Csv, sample.rows);
    fs::permissions(directory.path(), fs::perms::owner_all);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->ends_with("Permission denied")) << *error;
    EXPECT_EQ(test::readFile(path), "old content");
    expectOnlyFile(directory.path(), path);
}

TEST(ReplaceFile, FailedFillKeepsTheOldFileAndRemovesTheTemporaryOne) {
    test::TempDirectory directory;
    const fs::path path = directory.path() / "rows.csv";
    test::writeFile(path, "old content");
    fs::path temporary;
    const WriteError error = replaceFile(path, [&](const fs::path& file) -> FillError {
        temporary = file;
        test::writeFile(file, "half");
        return "disk on fire";
    });
    EXPECT_EQ(error, "cannot write " + path.string() + ": disk on fire");
    EXPECT_EQ(temporary.parent_path(), directory.path()) << "the temporary file lies beside the target";
    EXPECT_EQ(test::readFile(path), "old content");
    expectOnlyFile(directory.path(), path);
}

TEST(ReplaceFile, NewFileFollowsTheUmask) {
    test::TempDirectory directory;
    const fs::path path = directory.path() / "new.csv";
    const mode_t previous = ::umask(022);
    const WriteError error = replaceFile(path, [](const fs::path&) -> FillError { return std::nullopt; });
    ::umask(previous);
    ASSERT_EQ(error, std::nullopt);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
}

} // namespace
} // namespace velmora
