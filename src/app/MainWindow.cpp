#include "app/MainWindow.h"

#include "app/BrowserPage.h"
#include "app/FileDialogComponent.h"
#include "app/IntegerKeyFilter.h"
#include "app/ResultTableModel.h"
#include "app/SaveAction.h"
#include "app/WindowBridge.h"
#include "app/appIcon.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTextCursor>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWindow>

#include <array>
#include <chrono>

namespace velmora {

namespace {

constexpr Qt::WindowFlags kFrame = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

constexpr std::array<int, ResultTableModel::kColumns> kColumnWidths = {50, 100, 100, 100, 100};

// How long a worker's changes may wait to be drawn: short enough to look live, long enough that a
// burst of calls costs one repaint instead of one each.
constexpr std::chrono::milliseconds kRepaintHold{40};

template <class Control> Control* place(QWidget* window, const QString& name, const QRect& where) {
    auto* control = new Control(window);
    control->setObjectName(name);
    control->setGeometry(where);
    return control;
}

FileDialogComponent* fileDialogComponent(QObject* window) {
    auto* component = new FileDialogComponent(window);
    component->setObjectName(QStringLiteral("通用对话框_txt"));
    return component;
}

QTableView* resultTable(QWidget* window) {
    auto* table = place<QTableView>(window, QStringLiteral("超级列表框2shop"), {8, 72, 520, 208});
    table->setModel(new ResultTableModel(table));
    return table;
}

void colourText(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    control->setPalette(palette);
}

void setUpLabel(QLabel* label, const QString& text) {
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}

void setUpResultTable(QTableView& table) {
    table.setFrameShape(QFrame::StyledPanel);
    table.setFrameShadow(QFrame::Sunken);
    table.setShowGrid(true);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setSortingEnabled(false);
    table.setWordWrap(false);
    table.setCornerButtonEnabled(false);
    table.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // Fixed row heights keep the view fast however many rows a run brings.
    QHeaderView& rows = *table.verticalHeader();
    rows.hide();
    rows.setSectionResizeMode(QHeaderView::Fixed);
    rows.setMinimumSectionSize(1);
    rows.setDefaultSectionSize(table.fontMetrics().height() + 4);

    QHeaderView& columns = *table.horizontalHeader();
    columns.setSectionsClickable(true);
    columns.setHighlightSections(false);
    columns.setStretchLastSection(false);
    columns.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < ResultTableModel::kColumns; ++column) {
        columns.resizeSection(column, kColumnWidths[column]);
    }
}

} // namespace

MainWindow::MainWindow(const QString& browserStartAddress)
    : QWidget(nullptr, kFrame), 通用对话框_txt(fileDialogComponent(this)),
      选择框2shop(place<QCheckBox>(this, QStringLiteral("选择框2shop"), {450, 43, 72, 19})),
      编辑框_过滤词(place<QLineEdit>(this, QStringLiteral("编辑框_过滤词"), {416, 16, 104, 20})),
      标签2(place<QLabel>(this, QStringLiteral("标签2"), {368, 17, 48, 16})),
      按钮1(place<QPushButton>(this, QStringLiteral("按钮1"), {406, 281, 114, 31})),
      超文本浏览框1(place<QWebEngineView>(this, QStringLiteral("超文本浏览框1"), {560, 32, 696, 464})),
      标签(place<QLabel>(this, QStringLiteral("标签"), {8, 281, 256, 24})),
      编辑框2shop(place<QPlainTextEdit>(this, QStringLiteral("编辑框2shop"), {8, 313, 520, 248})),
      选择框1shop(place<QCheckBox>(this, QStringLiteral("选择框1shop"), {362, 43, 80, 19})),
      按钮_开始_结束(place<QPushButton>(this, QStringLiteral("按钮_开始_结束"), {288, 281, 96, 31})),
      编辑框_关键字(place<QLineEdit>(this, QStringLiteral("编辑框_关键字"), {56, 16, 296, 20})),
      标签1(place<QLabel>(this, QStringLiteral("标签1"), {8, 16, 48, 20})),
      单选框1(place<QRadioButton>(this, QStringLiteral("单选框1"), {9, 42, 48, 20})),
      单选框2(place<QRadioButton>(this, QStringLiteral("单选框2"), {57, 42, 48, 20})),
      标签6(place<QLabel>(this, QStringLiteral("标签6"), {109, 43, 49, 17})),
      编辑框_低(place<QLineEdit>(this, QStringLiteral("编辑框_低"), {166, 42, 32, 20})),
      标签5(place<QLabel>(this, QStringLiteral("标签5"), {206, 42, 8, 20})),
      编辑框_高(place<QLineEdit>(this, QStringLiteral("编辑框_高"), {219, 42, 32, 20})),
      标签9(place<QLabel>(this, QStringLiteral("标签9"), {256, 43, 56, 16})),
      编辑框1页数(place<QLineEdit>(this, QStringLiteral("编辑框1页数"), {319, 41, 33, 21})),
      超级列表框2shop(resultTable(this)), results_(static_cast<ResultTableModel*>(超级列表框2shop->model())),
      bridge_(std::make_shared<WindowBridge>(*this)) {
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(appIcon());
    setUpControls(browserStartAddress);
    applyOuterSize();

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(按钮1, &QPushButton::clicked, this, [this] { saveData(*this); });
}

MainWindow::~MainWindow() {
    bridge_->detach();
}

void MainWindow::setUpControls(const QString& browserStartAddress) {
    选择框2shop->setText(QStringLiteral("过滤词"));
    colourText(选择框2shop, kBlue);
    编辑框_过滤词->setText(QStringLiteral("taobao"));
    setUpLabel(标签2, QStringLiteral("过滤词："));
    colourText(标签2, kBlue);
    按钮1->setText(QStringLiteral("保存数据"));

    auto* page = new BrowserPage(QWebEngineProfile::defaultProfile(), 超文本浏览框1);
    超文本浏览框1->setPage(page);
    超文本浏览框1->setUrl(QUrl(browserStartAddress));

    setUpLabel(标签, {});
    colourText(标签, kRed);
    QFont statusFont;
    statusFont.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Noto Sans CJK SC")});
    statusFont.setPixelSize(14);
    statusFont.setBold(true);
    标签->setFont(statusFont);

    编辑框2shop->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Appended lines would otherwise pile up in the undo history for the life of the program.
    编辑框2shop->setUndoRedoEnabled(false);

    选择框1shop->setText(QStringLiteral("只采集天猫"));
    colourText(选择框1shop, kRed);
    按钮_开始_结束->setText(QStringLiteral("采集"));
    setUpLabel(标签1, QStringLiteral("关键字："));
    单选框1->setText(QStringLiteral("综合"));
    单选框1->setChecked(true);
    单选框2->setText(QStringLiteral("销量"));
    setUpLabel(标签6, QStringLiteral("价格区间"));
    setUpLabel(标签5, QStringLiteral("-"));
    setUpLabel(标签9, QStringLiteral("采集页数："));
    编辑框1页数->setText(QStringLiteral("10"));

    auto* integerKeys = new IntegerKeyFilter(this);
    for (QLineEdit* priceBox : {编辑框_低, 编辑框_高}) {
        priceBox->installEventFilter(integerKeys);
        // Input methods would bring in characters that no key press announces.
        priceBox->setAttribute(Qt::WA_InputMethodEnabled, false);
    }

    setUpResultTable(*超级列表框2shop);
}

void MainWindow::showCentred() {
    centredAt_ = centredPosition();
    move(centredAt_);
    show();
}

QPoint MainWindow::centredPosition() const {
    const QRect screenArea = screen()->availableGeometry();
    return screenArea.topLeft() +
           QPoint((screenArea.width() - outerWidth_) / 2, (screenArea.height() - kOuterHeight) / 2);
}

void MainWindow::applyOuterSize() {
    frame_ = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    setFixedSize(outerWidth_ - frame_.left() - frame_.right(), kOuterHeight - frame_.top() - frame_.bottom());
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) &&
        windowHandle() != nullptr && windowHandle()->frameMargins() != frame_) {
        // The window system tells the frame only once the window is shown; the client area then
        // shrinks so that the outer size stays, and a window still where it started is centred anew.
        const bool stillCentred = pos() == centredAt_;
        applyOuterSize();
        if (stillCentred) {
            centredAt_ = centredPosition();
            move(centredAt_);
        }
    }
    return handled;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
}

void MainWindow::clearRows() {
    results_->clearRows();
}

int MainWindow::rowCount() const {
    return results_->rowCount();
}

int MainWindow::appendRow(const QString& number) {
    return results_->appendRow(number);
}

void MainWindow::setCell(int row, int column, const QString& text) {
    results_->setCell(row, column, text);
}

void MainWindow::setStatusText(const QString& text) {
    标签->setText(text);
}

void MainWindow::setBrowserAddress(const QString& address) {
    超文本浏览框1->setUrl(QUrl(address));
}

void MainWindow::setWindowWidth(int width) {
    outerWidth_ = width;
    applyOuterSize();
}

void MainWindow::holdRepaintsBriefly() {
    if (repaintsHeld_) {
        return;
    }
    repaintsHeld_ = true;
    const std::array<QWidget*, 3> shown = {超级列表框2shop, 标签, 编辑框2shop};
    for (QWidget* widget : shown) {
        widget->setUpdatesEnabled(false);
    }
    QTimer::singleShot(kRepaintHold, this, [this, shown] {
        for (QWidget* widget : shown) {
            widget->setUpdatesEnabled(true);
        }
        repaintsHeld_ = false;
    });
}

void MainWindow::appendText(QPlainTextEdit& box, const QString& text) {
    // The line goes after everything in the box whatever the user did with the caret or the
    // selection. A line end is one paragraph break, not two.
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor end(box.document());
    end.movePosition(QTextCursor::End);
    end.insertText(normalised);
    box.setTextCursor(end);
    box.ensureCursorVisible();
}

} // namespace velmora
