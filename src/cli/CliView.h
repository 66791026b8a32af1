#pragma once

#include "collectors/RunView.h"
#include "output/ResultRow.h"
#include "output/rowLines.h"

#include <ostream>
#include <string>
#include <vector>

namespace velmora {

/// The window of a headless run. It keeps the table in memory and writes each row to the output
/// the moment its last cell (月销量) arrives; log lines go to the error stream, one a line, and the
/// status text becomes a progress line there when that stream is a terminal. Where the window
/// would uncover its browser pane for a sign-in, it writes notices beginning with "velmora-cli: ".
/// Like the window, it drops every call once the run is stopped, so a row that was not complete
/// by then is never written.
class CliView : public RunView {
public:
    CliView(std::ostream& rows, LineFormat format, std::ostream& messages, bool showStatus);

    void clearRows() override;
    int rowCount() override;
    int appendRow(const Text& number) override;
    void setCell(int row, int column, const Text& text) override;
    void setStatusText(const Text& text) override;
    void setBrowserAddress(const Text& address) override;
    void setWindowWidth(int width) override;
    void log(const Text& message) override;

    /// Writes a line of the command's own to the error stream: "velmora-cli: " + notice (UTF-8).
    void notice(const std::string& notice);

    /// Takes the progress line off the terminal at the end of the run.
    void finish();

    /// True once writing a row failed; the run is stopped then.
    bool outputFailed() const { return outputFailed_; }

private:
    /// Writes a whole line to the error stream, keeping the progress line below it.
    void writeMessageLine(const std::string& line);

    std::ostream& rows_;
    const LineFormat format_;
    std::ostream& messages_;
    const bool showStatus_;
    std::vector<ResultRow> table_;
    std::string status_;
    bool outputFailed_ = false;
};

} // namespace velmora
