#pragma once

#include "text/Text.h"

namespace velmora {

/// The operations on the window that a collector needs. Each has taken effect when it returns;
/// once the run is stopped the window drops them (a dropped rowCount or appendRow answers 0).
class RunView {
public:
    virtual ~RunView() = default;

    /// Deletes every row of the result table.
    virtual void clearRows() = 0;
    /// The number of rows of the result table.
    virtual int rowCount() = 0;
    /// Appends a row with `number` in column 0 and "" elsewhere; returns its 0-based index.
    virtual int appendRow(const Text& number) = 0;
    /// Replaces the text of a cell, column 1 to 4.
    virtual void setCell(int row, int column, const Text& text) = 0;
    /// Replaces the text of the status label.
    virtual void setStatusText(const Text& text) = 0;
    /// Makes the browser pane load an address; does not wait for the page.
    virtual void setBrowserAddress(const Text& address) = 0;
    /// Changes the window's outer width, keeping its position and height.
    virtual void setWindowWidth(int width) = 0;
    /// Writes one time-stamped line to the activity log.
    virtual void log(const Text& message) = 0;
};

} // namespace velmora
