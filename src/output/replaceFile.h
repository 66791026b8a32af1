#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace velmora {

/// The outcome of writing a file: nothing on success, else what went wrong as a UTF-8 sentence that
/// names the file ("cannot write /home/x/a.csv: No space left on device").
using WriteError = std::optional<std::string>;

/// Why filling a file failed ("No space left on device"); nothing on success.
using FillError = std::optional<std::string>;

/// Fills the file at the path it is given (a fresh, empty file).
using FileFiller = std::function<FillError(const std::filesystem::path& temporary)>;

/// Writes `path` as a whole or not at all: `fill` writes a temporary file beside it, which is synced
/// and then renamed over `path`. On any failure the temporary file is removed and whatever stood at
/// `path` before is left untouched. A symbolic link at `path` is replaced, not written through.
WriteError replaceFile(const std::filesystem::path& path, const FileFiller& fill);

} // namespace velmora
