#include "output/replaceFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace velmora {

namespace {

namespace fs = std::filesystem;

std::string failure(std::string_view what, const fs::path& path, int error) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(error);
}

/// Removes the temporary file on every path that does not rename it into place.
class TemporaryFile {
public:
    explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const fs::path& path() const { return path_; }
    void keep() { path_.clear(); }

private:
    fs::path path_;
};

/// Creates a new empty file beside `path` with a name no one else uses; its mode follows the umask
/// like that of any new file. Empty path and errno set on failure.
fs::path createTemporaryBeside(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = directory / ("." + path.filename().string() + ".tmp-" +
                                                std::to_string(::getpid()) + "-" + std::to_string(counter++));
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

/// Pushes the file's data to the disk, so that a crash after the rename cannot leave an empty file.
bool syncFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

} // namespace

WriteError replaceFile(const fs::path& path, const FileFiller& fill) {
    if (path.filename().empty()) {
        return failure("cannot write", path, EISDIR);
    }
    TemporaryFile temporary(createTemporaryBeside(path));
    if (temporary.path().empty()) {
        return failure("cannot write", path, errno);
    }
    if (FillError reason = fill(temporary.path())) {
        return "cannot write " + path.string() + ": " + *reason;
    }
    if (!syncFile(temporary.path())) {
        return failure("cannot write", path, errno);
    }
    if (std::rename(temporary.path().c_str(), path.c_str()) != 0) {
        return failure("cannot replace", path, errno);
    }
    temporary.keep();
    return std::nullopt;
}

} // namespace velmora
