#include "cli/CliView.h"

#include "collectors/RunContext.h"
#include "collectors/logLine.h"
#include "http/CancelToken.h"
#include "output/utf8Text.h"

namespace velmora {

namespace {

/// From this width on the window shows its browser pane.
constexpr int kBrowserPaneWidth = 1298;

/// Back to the start of the terminal line and erase it.
constexpr std::string_view kEraseLine = "\r\x1b[K";

} // namespace

CliView::CliView(std::ostream& rows, LineFormat format, std::ostream& messages, bool showStatus)
    : rows_(rows), format_(format), messages_(messages), showStatus_(showStatus) {}

void CliView::clearRows() {
    if (!stopRequested()) {
        table_.clear();
    }
}

int CliView::rowCount() {
    return stopRequested() ? 0 : int(table_.size());
}

int CliView::appendRow(const Text& number) {
    if (stopRequested()) {
        return 0;
    }
    table_.push_back(ResultRow{number});
    return int(table_.size()) - 1;
}

void CliView::setCell(int row, int column, const Text& text) {
    if (stopRequested() || row < 0 || row >= int(table_.size()) || column < 1 || column > 4) {
        return;
    }
    table_[row][column] = text;
    if (column == 4) {
        rows_ << rowLine(format_, table_[row]) << std::flush;
        if (!rows_ && !outputFailed_) {
            outputFailed_ = true;
            // Nothing more could reach the output: the rest of the run would be wasted requests.
            if (const auto& token = currentCancelToken()) {
                token->cancel();
            }
        }
    }
}

void CliView::setStatusText(const Text& text) {
    if (stopRequested() || !showStatus_) {
        return;
    }
    status_ = utf8FromText(text);
    messages_ << kEraseLine << status_ << std::flush;
}

void CliView::setBrowserAddress(const Text& address) {
    if (!stopRequested()) {
        notice("the shop's item search wants a signed-in client; sign in at " + utf8FromText(address));
    }
}

void CliView::setWindowWidth(int width) {
    if (!stopRequested() && width >= kBrowserPaneWidth) {
        notice("--cookies FILE can carry a sign-in: a Netscape cookies.txt holding the marketplace's cookies "
               "of a signed-in browser");
    }
}

void CliView::log(const Text& message) {
    if (!stopRequested()) {
        writeMessageLine(utf8FromText(logLine(message)));
    }
}

void CliView::notice(const std::string& notice) {
    writeMessageLine("velmora-cli: " + notice);
}

void CliView::finish() {
    if (!status_.empty()) {
        messages_ << kEraseLine << std::flush;
        status_.clear();
    }
}

void CliView::writeMessageLine(const std::string& line) {
    if (!status_.empty()) {
        messages_ << kEraseLine;
    }
    messages_ << line << '\n';
    if (!status_.empty()) {
        messages_ << status_;
    }
    messages_ << std::flush;
}

} // namespace velmora
