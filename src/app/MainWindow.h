#pragma once

#include <QMargins>
#include <QString>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QWebEngineView;

namespace velmora {

class FileDialogComponent;
class ResultTableModel;
class WindowBridge;

/// The program's one window: the inputs of a run, the start/stop button, the result table, the status
/// label, the activity log, the save button and the browser pane beyond the right edge. Its controls
/// keep the names of the form (object name = member name). It lives on the UI thread; other threads
/// reach it only through its bridge.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    /// The outer size at start (frame included where the window system draws one).
    static constexpr int kOuterWidth = 539;
    static constexpr int kOuterHeight = 612;

    /// Creates the window with every control in its start state; the browser pane starts loading
    /// `browserStartAddress`.
    explicit MainWindow(const QString& browserStartAddress);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The controls in their creation order, which is also the focus order. Set once, never replaced.
    FileDialogComponent* const 通用对话框_txt;
    QCheckBox* const 选择框2shop;
    QLineEdit* const 编辑框_过滤词;
    QLabel* const 标签2;
    QPushButton* const 按钮1;
    QWebEngineView* const 超文本浏览框1;
    QLabel* const 标签;
    QPlainTextEdit* const 编辑框2shop;
    QCheckBox* const 选择框1shop;
    QPushButton* const 按钮_开始_结束;
    QLineEdit* const 编辑框_关键字;
    QLabel* const 标签1;
    QRadioButton* const 单选框1;
    QRadioButton* const 单选框2;
    QLabel* const 标签6;
    QLineEdit* const 编辑框_低;
    QLabel* const 标签5;
    QLineEdit* const 编辑框_高;
    QLabel* const 标签9;
    QLineEdit* const 编辑框1页数;
    QTableView* const 超级列表框2shop;

    /// Carries calls of other threads to this window; it outlives the window and drops them after it.
    const std::shared_ptr<WindowBridge>& bridge() const { return bridge_; }

    /// Shows the window centred on its screen.
    void showCentred();

    // The operations below run on the UI thread; ControlOperations brings other threads' calls here.

    /// Deletes every row of the result table.
    void clearRows();
    /// The number of rows of the result table.
    int rowCount() const;
    /// Appends a row with `number` in column 0; returns its 0-based index.
    int appendRow(const QString& number);
    /// Replaces the text of a cell of the result table.
    void setCell(int row, int column, const QString& text);
    /// Replaces the text of the status label.
    void setStatusText(const QString& text);
    /// Makes the browser pane load an address; returns without waiting for the page.
    void setBrowserAddress(const QString& address);
    /// Changes the outer width, keeping the position and the height.
    void setWindowWidth(int width);
    /// Holds the repainting of the table, the status label and the log for a moment, so that a
    /// worker's stream of calls is shown in one repaint instead of one per call.
    void holdRepaintsBriefly();
    /// Puts the caret at the end of a multi-line box, inserts `text` there and scrolls it into view.
    static void appendText(QPlainTextEdit& box, const QString& text);

signals:
    /// The window is closing (close box, system menu or Esc); the program ends with it.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setUpControls(const QString& browserStartAddress);
    void applyOuterSize();
    QPoint centredPosition() const;

    ResultTableModel* const results_;
    const std::shared_ptr<WindowBridge> bridge_;
    int outerWidth_ = kOuterWidth;
    QMargins frame_;
    QPoint centredAt_;
    bool repaintsHeld_ = false;
};

} // namespace velmora
