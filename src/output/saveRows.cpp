#include "output/saveRows.h"

#include "output/rowLines.h"
#include "output/writeXlsx.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace velmora {

namespace {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

FillError writeLines(const std::filesystem::path& path, LineFormat format,
                     const std::vector<ResultRow>& rows) {
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "wb"));
    const auto put = [&](std::string_view text) {
        // An empty view may carry a null pointer, which fwrite must not be given.
        return text.empty() || std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    };
    bool written = file && put(fileStart(format)) && put(headerLine(format));
    for (auto row = rows.begin(); written && row != rows.end(); ++row) {
        written = put(rowLine(format, *row));
    }
    // fclose flushes the last buffer, so its failure is a write failure too.
    if (!written || std::fclose(file.release()) != 0) {
        return std::strerror(errno);
    }
    return std::nullopt;
}

} // namespace

WriteError saveRows(const std::filesystem::path& path, FileFormat format,
                    const std::vector<ResultRow>& rows) {
    return replaceFile(path, [&](const std::filesystem::path& temporary) -> FillError {
        switch (format) {
        case FileFormat::Csv:
            return writeLines(temporary, LineFormat::Csv, rows);
        case FileFormat::Tsv:
            return writeLines(temporary, LineFormat::Tsv, rows);
        case FileFormat::JsonLines:
            return writeLines(temporary, LineFormat::JsonLines, rows);
        case FileFormat::Xlsx:
            return writeXlsx(temporary, rows);
        }
        return std::nullopt;
    });
}

} // namespace velmora
