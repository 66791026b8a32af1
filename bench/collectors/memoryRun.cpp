// velmora_bench_memory: the resident memory of a keyword run of 100 pages, page by page.
//
// The simulator runs as a separate program (velmora-market beside this one, or the one given with
// --market), so the figures are the client's alone. The view keeps the rows and the log text as
// the window does; the memory the run holds beyond them should stay flat from page to page.
// Run it on its own: it restarts itself with malloc's thread cache off (see below).
//
//   velmora_bench_memory [--market PATH] [--pages N]

#include "collectors/RunContext.h"
#include "collectors/collectKeyword.h"
#include "collectors/logLine.h"
#include "http/CancelToken.h"
#include "text/codePages.h"

#include <fcntl.h>
#include <malloc.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace velmora {
namespace {

/// VmRSS of this process in KiB, from /proc/self/status.
long residentKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

/// Bytes malloc has handed out and not taken back, mapped blocks included.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

/// One figure: the memory once `pagesDone` pages were walked, beside what the table and the log
/// take by then.
struct Sample {
    int pagesDone = 0;
    long rssKib = 0;
    std::size_t heapBytes = 0;
    std::size_t rows = 0;
    std::size_t textBytes = 0; ///< the bytes of every cell and of the log text
    long long heldBytes = 0;   ///< the heap the table and the log take, containers included
};

/// A window stand-in that keeps what the window keeps: every row and every log line (stamped).
/// It samples the resident memory each time a page begins and when the run ends.
class StoringView : public RunView {
public:
    explicit StoringView(int pageLimit) : pageLimit_(pageLimit) {}

    void clearRows() override {
        held([this] { rows_.clear(); });
    }
    int rowCount() override { return int(rows_.size()); }
    int appendRow(const Text& number) override {
        held([&] { rows_.push_back({number, "", "", "", ""}); });
        return int(rows_.size()) - 1;
    }
    void setCell(int row, int column, const Text& text) override {
        held([&] { rows_.at(row).at(column) = text; });
    }
    void setStatusText(const Text& text) override { status_ = text; }
    void setBrowserAddress(const Text&) override {}
    void setWindowWidth(int) override {}
    void log(const Text& message) override {
        const Text line = logLine(message) + "\r\n";
        held([&] { log_ += line; });
        // "n/count" opens page n, so n - 1 pages are done; the summary closes the last one.
        const std::size_t slash = message.find('/');
        if (slash != Text::npos && slash > 0 && message.find_first_not_of("0123456789/") == Text::npos) {
            sample(std::atoi(message.c_str()) - 1);
        } else if (message.rfind(summary_, 0) == 0) {
            sample(pageLimit_);
        }
    }

    const std::vector<Sample>& samples() const { return samples_; }

private:
    // The heap that a change of the table or the log takes or gives back, measured around it (the
    // simulator runs in its own process, so nothing else allocates meanwhile).
    template <typename Change> void held(Change change) {
        const std::size_t before = heapInUse();
        change();
        heldBytes_ += static_cast<long long>(heapInUse()) - static_cast<long long>(before);
    }

    void sample(int pagesDone) {
        Sample s;
        s.pagesDone = pagesDone;
        s.rssKib = residentKib();
        s.heapBytes = heapInUse();
        s.rows = rows_.size();
        s.heldBytes = heldBytes_;
        for (const auto& row : rows_) {
            for (const Text& cell : row) {
                s.textBytes += cell.size();
            }
        }
        s.textBytes += log_.size();
        samples_.push_back(s);
    }

    const int pageLimit_;
    const Text summary_ = utf8ToAnsi("采集完毕");
    std::vector<std::array<Text, 5>> rows_;
    Text log_;
    Text status_;
    long long heldBytes_ = 0;
    std::vector<Sample> samples_;
};

/// The simulator as a child process, stopped (SIGTERM, then waited for) when this goes.
class MarketProcess {
public:
    ~MarketProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (!outputPath_.empty()) {
            unlink(outputPath_.c_str());
        }
    }

    /// Starts `program --port 0` with its output in a temporary file and waits for the line
    /// that names its domain; false when it does not come within five seconds.
    bool start(const std::string& program) {
        char path[] = "/tmp/velmora-market-XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0) {
            return false;
        }
        close(fd);
        outputPath_ = path;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, path, O_WRONLY | O_TRUNC, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> args = {program, "--port", "0"};
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        const int failed = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            pid_ = 0;
            return false;
        }
        for (int waited = 0; waited < 100; ++waited) {
            std::ifstream output(outputPath_);
            std::string line;
            if (std::getline(output, line)) {
                // "velmora-market on 127.0.0.1:PORT, domain D (http://www.D/)"
                const std::size_t from = line.find("domain ");
                const std::size_t to = line.find(" (", from);
                if (from != std::string::npos && to != std::string::npos) {
                    domain_ = line.substr(from + 7, to - from - 7);
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    const std::string& domain() const { return domain_; }

private:
    pid_t pid_ = 0;
    std::string outputPath_;
    std::string domain_;
};

std::string besideThisProgram(const std::string& name) {
    std::array<char, 4096> self{};
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
    std::string path = length > 0 ? std::string(self.data(), std::size_t(length)) : std::string();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? name : path.substr(0, slash + 1) + name;
}

// malloc's per-thread cache keeps freed blocks that it counts as in use: a block the view takes
// from it would not show as taken, and the cache blurs the heap figures by up to a few hundred
// KiB. The program starts itself again with that cache off.
constexpr const char* kNoThreadCache = "glibc.malloc.tcache_count=0";

void restartWithoutThreadCache(char** argv) {
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables != nullptr && std::string(tunables).find(kNoThreadCache) != std::string::npos) {
        return;
    }
    setenv("GLIBC_TUNABLES", kNoThreadCache, 1);
    execv("/proc/self/exe", argv);
}

int run(int argc, char** argv) {
    restartWithoutThreadCache(argv);
    std::string program = besideThisProgram("velmora-market");
    int pages = 100;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--market") {
            program = argv[i + 1];
        } else if (option == "--pages") {
            pages = std::atoi(argv[i + 1]);
        }
    }
    if (pages < 1 || pages > 100) {
        std::cerr << "usage: velmora_bench_memory [--market PATH] [--pages 1..100]\n";
        return 2;
    }

    MarketProcess market;
    if (!market.start(program)) {
        std::cerr << "velmora_bench_memory: cannot start " << program << "\n";
        return 1;
    }
    const Endpoints endpoints = Endpoints::simulator(market.domain());
    RunSettings settings;
    settings.setKeyword("pages" + std::to_string(pages) + " abc");
    settings.setPageLimit(pages);
    StoringView view(pages);

    const long before = residentKib();
    const auto started = std::chrono::steady_clock::now();
    RunOutcome outcome;
    {
        CancelScope scope(std::make_shared<CancelToken>());
        outcome = collectKeyword(RunContext{view, settings, endpoints});
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (outcome != RunOutcome::Finished || view.samples().empty()) {
        std::cerr << "velmora_bench_memory: the run did not finish\n";
        return 1;
    }

    std::printf("keyword run of %d pages against %s: %.1f s\n", pages, market.domain().c_str(), seconds);
    std::printf("resident before the run: %ld KiB\n\n", before);
    std::printf("%6s %7s %10s %10s %10s %10s %12s %12s\n", "pages", "rows", "texts KiB", "held KiB",
                "VmRSS KiB", "heap KiB", "RSS-held KiB", "heap-held KiB");
    const std::set<int> shown = {1, 10, 25, 50, 100, pages};
    for (const Sample& s : view.samples()) {
        if (shown.count(s.pagesDone) == 0) {
            continue;
        }
        std::printf("%6d %7zu %10.1f %10.1f %10ld %10.1f %12.1f %12.1f\n", s.pagesDone, s.rows,
                    double(s.textBytes) / 1024.0, double(s.heldBytes) / 1024.0, s.rssKib,
                    double(s.heapBytes) / 1024.0, double(s.rssKib) - double(s.heldBytes) / 1024.0,
                    (double(s.heapBytes) - double(s.heldBytes)) / 1024.0);
    }
    std::printf("\ntexts: the bytes of the cells and of the log; held: what the table and the log take in "
                "the heap, measured around every change of them\n");
    return 0;
}

} // namespace
} // namespace velmora

int main(int argc, char** argv) {
    return velmora::run(argc, argv);
}
