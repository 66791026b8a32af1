#pragma once

#include "app/MainWindow.h"
#include "app/WindowBridge.h"
#include "http/CancelToken.h"
#include "text/Text.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>
#include <memory>

namespace velmora {

/// The operations on the window's controls, callable from any thread: each has taken effect when it
/// returns, carried out on the UI thread. Controls are named by their member, e.g.
/// `readText(&MainWindow::编辑框_关键字)`, so a caller never touches the window itself. With a run's
/// token, every call made after the run was stopped is dropped (a dropped call answers "", false or 0).
class ControlOperations {
public:
    /// Operations through `bridge`, dropped once `token` (if any) is cancelled.
    explicit ControlOperations(std::shared_ptr<WindowBridge> bridge,
                               std::shared_ptr<const CancelToken> token = nullptr);

    /// The whole text of a single-line edit box.
    Text readText(QLineEdit* const MainWindow::*box);
    /// The whole text of a multi-line edit box, lines ended by "\r\n".
    Text readText(QPlainTextEdit* const MainWindow::*box);
    /// True when the check box is ticked.
    bool isTicked(QCheckBox* const MainWindow::*box);
    /// The button's caption.
    Text readCaption(QPushButton* const MainWindow::*button);
    /// Gives the button a new caption.
    void setCaption(QPushButton* const MainWindow::*button, const Text& caption);
    /// Enables or disables a control; a disabled control keeps its text.
    template <class Control> void setEnabled(Control* const MainWindow::*control, bool enabled) {
        call([control, enabled](MainWindow& window) { (window.*control)->setEnabled(enabled); });
    }
    /// Inserts `text` after everything in a multi-line box and scrolls it into view.
    void appendText(QPlainTextEdit* const MainWindow::*box, const Text& text);
    /// Shows a message box captioned "信息：" and returns when it is closed.
    void showMessage(const Text& text);
    /// Deletes every row of the result table.
    void clearRows();
    /// The number of rows of the result table.
    int rowCount();
    /// Appends a row with `number` in column 0; its 0-based index.
    int appendRow(const Text& number);
    /// Replaces the text of a cell, column 1 to 4.
    void setCell(int row, int column, const Text& text);
    /// Replaces the text of the status label.
    void setStatusText(const Text& text);
    /// Makes the browser pane load an address; does not wait for the page.
    void setBrowserAddress(const Text& address);
    /// Changes the window's outer width, keeping its position and height.
    void setWindowWidth(int width);

private:
    void call(const std::function<void(MainWindow&)>& operation);

    std::shared_ptr<WindowBridge> bridge_;
    std::shared_ptr<const CancelToken> token_;
};

} // namespace velmora
