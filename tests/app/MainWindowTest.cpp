#include "AppFixture.h"
#include "app/BrowserPage.h"
#include "app/FileDialogComponent.h"
#include "suites.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <array>

namespace velmora::test {

namespace {

struct FormControl {
    const char* name;
    const char* kind;
    QRect place;
    const char* text;
    QColor colour;
};

const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

// Every drawn control in creation order (the file dialog component comes first and is never drawn).
const std::array<FormControl, 20> kControls = {{
    {"选择框2shop", "QCheckBox", {450, 43, 72, 19}, "过滤词", kBlue},
    {"编辑框_过滤词", "QLineEdit", {416, 16, 104, 20}, "taobao", kBlack},
    {"标签2", "QLabel", {368, 17, 48, 16}, "过滤词：", kBlue},
    {"按钮1", "QPushButton", {406, 281, 114, 31}, "保存数据", kBlack},
    {"超文本浏览框1", "QWebEngineView", {560, 32, 696, 464}, "", kBlack},
    {"标签", "QLabel", {8, 281, 256, 24}, "", kRed},
    {"编辑框2shop", "QPlainTextEdit", {8, 313, 520, 248}, "", kBlack},
    {"选择框1shop", "QCheckBox", {362, 43, 80, 19}, "只采集天猫", kRed},
    {"按钮_开始_结束", "QPushButton", {288, 281, 96, 31}, "采集", kBlack},
    {"编辑框_关键字", "QLineEdit", {56, 16, 296, 20}, "", kBlack},
    {"标签1", "QLabel", {8, 16, 48, 20}, "关键字：", kBlack},
    {"单选框1", "QRadioButton", {9, 42, 48, 20}, "综合", kBlack},
    {"单选框2", "QRadioButton", {57, 42, 48, 20}, "销量", kBlack},
    {"标签6", "QLabel", {109, 43, 49, 17}, "价格区间", kBlack},
    {"编辑框_低", "QLineEdit", {166, 42, 32, 20}, "", kBlack},
    {"标签5", "QLabel", {206, 42, 8, 20}, "-", kBlack},
    {"编辑框_高", "QLineEdit", {219, 42, 32, 20}, "", kBlack},
    {"标签9", "QLabel", {256, 43, 56, 16}, "采集页数：", kBlack},
    {"编辑框1页数", "QLineEdit", {319, 41, 33, 21}, "10", kBlack},
    {"超级列表框2shop", "QTableView", {8, 72, 520, 208}, "", kBlack},
}};

QString shownText(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        return line->text();
    }
    if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
        return box->toPlainText();
    }
    return {};
}

/// Types the text key by key; a character beyond Latin-1, which QTest::keyClick cannot name, comes as a
/// key press carrying it, as from an input method.
void type(QWidget* control, const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() < 0x100) {
            QTest::keyClick(control, character.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(character), Qt::NoModifier);
        }
    }
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { shell_ = std::make_unique<Shell>(); }
    void cleanup() { shell_.reset(); }

    void controlStartsInItsFormState_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        for (const FormControl& control : kControls) {
            QTest::newRow(control.name) << QString(control.kind) << control.place
                                        << QString::fromUtf8(control.text) << control.colour;
        }
    }

    void controlStartsInItsFormState() {
        QFETCH(QString, kind);
        QFETCH(QRect, place);
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        QWidget* control = shell_->find<QWidget>(QString::fromUtf8(QTest::currentDataTag()));
        QVERIFY(control != nullptr);
        QCOMPARE(control->metaObject()->className(), kind);
        QCOMPARE(control->geometry(), place);
        QCOMPARE(shownText(control), text);
        QCOMPARE(control->palette().color(control->foregroundRole()), colour);
        QVERIFY(control->isVisibleTo(shell_->window.get()));
        QVERIFY(control->isEnabled());
    }

    void controlsAreCreatedInFormOrder() {
        QStringList expected{QStringLiteral("通用对话框_txt")};
        for (const FormControl& control : kControls) {
            expected << QString::fromUtf8(control.name);
        }
        QStringList created;
        for (QObject* child : shell_->window->children()) {
            if (expected.contains(child->objectName())) {
                created << child->objectName();
            }
        }
        QCOMPARE(created, expected);
    }

    void fileDialogComponentIsNeverDrawn() {
        auto* component = shell_->window->findChild<QObject*>(QStringLiteral("通用对话框_txt"));
        QVERIFY(qobject_cast<FileDialogComponent*>(component) != nullptr);
        QVERIFY(!component->isWidgetType());
        QCOMPARE(FileDialogComponent::kFormPlace, QRect(464, 352, 72, 40));
    }

    void choicesStartCleared() {
        QVERIFY(shell_->find<QRadioButton>(QStringLiteral("单选框1"))->isChecked());
        QVERIFY(!shell_->find<QRadioButton>(QStringLiteral("单选框2"))->isChecked());
        QVERIFY(!shell_->find<QCheckBox>(QStringLiteral("选择框1shop"))->isChecked());
        QVERIFY(!shell_->find<QCheckBox>(QStringLiteral("选择框2shop"))->isChecked());
    }

    void radioButtonsClearEachOther() {
        auto* byDefault = shell_->find<QRadioButton>(QStringLiteral("单选框1"));
        auto* bySales = shell_->find<QRadioButton>(QStringLiteral("单选框2"));
        QTest::mouseClick(bySales, Qt::LeftButton);
        QVERIFY(bySales->isChecked() && !byDefault->isChecked());
        QTest::mouseClick(byDefault, Qt::LeftButton);
        QVERIFY(byDefault->isChecked() && !bySales->isChecked());
    }

    void windowHasFixedFrameCentredAtStart() {
        MainWindow& window = *shell_->window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Velmora"));
        // The offscreen platform draws no frame, so the client area has the outer size.
        QCOMPARE(window.frameGeometry().size(), QSize(539, 612));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        const QRect screenArea = window.screen()->availableGeometry();
        QVERIFY(qAbs(window.frameGeometry().center().x() - screenArea.center().x()) <= 1);
        QVERIFY(qAbs(window.frameGeometry().center().y() - screenArea.center().y()) <= 1);

        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(window.windowType(), Qt::Window);
        QVERIFY(!window.windowIcon().pixmap(32, 32).isNull());
    }

    void statusLabelHasItsOwnFont() {
        const QFont font = shell_->find<QLabel>(QStringLiteral("标签"))->font();
        QCOMPARE(font.families().value(0), QStringLiteral("微软雅黑"));
        QCOMPARE(font.pixelSize(), 14);
        QVERIFY(font.bold());
    }

    void resultTableIsAnEmptyReportView() {
        auto* table = shell_->find<QTableView>(QStringLiteral("超级列表框2shop"));
        const QAbstractItemModel& model = *table->model();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 5);
        const QStringList titles{QStringLiteral("序号"), QStringLiteral("宝贝链接"),
                                 QStringLiteral("宝贝名称"), QStringLiteral("卖家旺旺"),
                                 QStringLiteral("月销量")};
        const QList<int> widths{50, 100, 100, 100, 100};
        for (int column = 0; column < 5; ++column) {
            QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), titles[column]);
            QCOMPARE(table->columnWidth(column), widths[column]);
            QCOMPARE(model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                         Qt::AlignHorizontal_Mask,
                     int(Qt::AlignLeft));
        }
        QVERIFY(table->horizontalHeader()->isVisible());
        QVERIFY(!table->verticalHeader()->isVisible());
        QVERIFY(table->showGrid());
        QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!table->isSortingEnabled());
        QCOMPARE(table->frameShadow(), QFrame::Sunken);
    }

    void headerClickChangesNothing() {
        MainWindow& window = *shell_->window;
        for (const char* number : {"2", "1"}) {
            window.setCell(window.appendRow(QString::fromLatin1(number)), 1, QStringLiteral("x"));
        }
        auto* table = shell_->find<QTableView>(QStringLiteral("超级列表框2shop"));
        QHeaderView* header = table->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(0) + 5, 5));
        QCOMPARE(table->model()->index(0, 0).data().toString(), QStringLiteral("2"));
    }

    void browserPaneIsPrivateAndBeyondTheEdge() {
        auto* pane = shell_->find<QWebEngineView>(QStringLiteral("超文本浏览框1"));
        QVERIFY(qobject_cast<BrowserPage*>(pane->page()) != nullptr);
        QVERIFY(pane->page()->profile()->isOffTheRecord());
        QCOMPARE(pane->url(), QUrl(QStringLiteral("about:blank")));
        QCOMPARE(pane->zoomFactor(), 1.0);
        QVERIFY(pane->geometry().left() >= shell_->window->width());
    }

    void browserPaneShowsNoScriptDialogs() {
        auto* pane = shell_->find<QWebEngineView>(QStringLiteral("超文本浏览框1"));
        QTRY_VERIFY_WITH_TIMEOUT(!pane->page()->isLoading(), 30000);
        bool answered = false;
        QVariant confirmed;
        pane->page()->runJavaScript(QStringLiteral("alert('a'); prompt('b'); confirm('c')"),
                                    [&](const QVariant& result) {
                                        confirmed = result;
                                        answered = true;
                                    });
        QTRY_VERIFY_WITH_TIMEOUT(answered, 30000);
        QCOMPARE(confirmed, QVariant(false));
        for (QWidget* topLevel : QApplication::topLevelWidgets()) {
            QVERIFY2(topLevel == shell_->window.get() || !topLevel->isVisible(), "a dialog was shown");
        }
    }

    void priceBoxesTakeOnlyDigitsAndMinus_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        for (const char* box : {"编辑框_低", "编辑框_高"}) {
            const QString name = QString::fromUtf8(box);
            QTest::addRow("%s digits", box)
                << name << QStringLiteral("0123456789") << QStringLiteral("0123456789");
            QTest::addRow("%s minus", box) << name << QStringLiteral("-5") << QStringLiteral("-5");
            QTest::addRow("%s letters", box) << name << QStringLiteral("1a2B") << QStringLiteral("12");
            QTest::addRow("%s dot", box) << name << QStringLiteral("3.5") << QStringLiteral("35");
            QTest::addRow("%s space and plus", box) << name << QStringLiteral(" +7") << QStringLiteral("7");
            QTest::addRow("%s chinese", box) << name << QStringLiteral("价9") << QStringLiteral("9");
        }
    }

    void priceBoxesTakeOnlyDigitsAndMinus() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        auto* edit = shell_->find<QLineEdit>(box);
        type(edit, typed);
        QCOMPARE(edit->text(), expected);
    }

    void priceBoxesLetControlKeysPass() {
        auto* edit = shell_->find<QLineEdit>(QStringLiteral("编辑框_低"));
        QTest::keyClicks(edit, QStringLiteral("123"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("2"));
    }

    void otherBoxesTakeAnyTypedText_data() {
        QTest::addColumn<QString>("box");
        for (const char* box : {"编辑框_关键字", "编辑框_过滤词", "编辑框1页数"}) {
            QTest::newRow(box) << QString::fromUtf8(box);
        }
    }

    void otherBoxesTakeAnyTypedText() {
        QFETCH(QString, box);
        auto* edit = shell_->find<QLineEdit>(box);
        edit->clear();
        type(edit, QStringLiteral("a.b -1 连衣裙"));
        QCOMPARE(edit->text(), QStringLiteral("a.b -1 连衣裙"));
    }

    void escapeClosesTheWindow_data() {
        QTest::addColumn<QString>("focused");
        for (const char* name :
             {"按钮_开始_结束", "编辑框_关键字", "编辑框_低", "编辑框2shop", "超级列表框2shop"}) {
            QTest::newRow(name) << QString::fromUtf8(name);
        }
    }

    void escapeClosesTheWindow() {
        QFETCH(QString, focused);
        MainWindow& window = *shell_->window;
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget* control = shell_->find<QWidget>(focused);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void windowWidthUncoversTheBrowserPane_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("paneVisible");
        QTest::newRow("shop sign-in width") << 1298 << true;
        QTest::newRow("narrowed after sign-in") << 542 << false;
        QTest::newRow("form width") << 539 << false;
    }

    void windowWidthUncoversTheBrowserPane() {
        QFETCH(int, width);
        QFETCH(bool, paneVisible);
        MainWindow& window = *shell_->window;
        const QPoint position = window.pos();
        window.setWindowWidth(width);
        QCOMPARE(window.frameGeometry().width(), width);
        QCOMPARE(window.frameGeometry().height(), 612);
        QCOMPARE(window.pos(), position);
        const QRect pane = shell_->find<QWidget>(QStringLiteral("超文本浏览框1"))->geometry();
        QCOMPARE(window.rect().contains(pane), paneVisible);
        QCOMPARE(window.rect().intersects(pane), paneVisible);
    }

private:
    std::unique_ptr<Shell> shell_;
};

std::unique_ptr<QObject> makeMainWindowTest() {
    return std::make_unique<MainWindowTest>();
}

} // namespace velmora::test

#include "MainWindowTest.moc"
